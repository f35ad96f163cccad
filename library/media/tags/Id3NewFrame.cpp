#include "library/media/tags/Id3NewFrame.h"

#include <new>

#include "library/media/tags/Id3FrameFields.h"
#include "library/media/tags/Id3MoodData.h"
#include "library/media/tags/Id3TagHeader.h"
#include "library/media/tags/TagTypes.h"

CId3NewFrame::CId3NewFrame(CTagOwnedPtr<CId3FrameHeader> header, std::string fields, CTagOwnedPtr<CTagStream> data,
                           uint32_t payloadSize, uint32_t payloadOffset)
    : CId3Frame(std::move(header)),
      m_fields(std::move(fields)),
      m_data(std::move(data)),
      m_payloadSize(payloadSize),
      m_payloadOffset(payloadOffset) {}

int32_t CId3NewFrame::Locate(CTagStream*, uint32_t* offset, uint32_t* size) {
    if (!offset || !size) return tag::kInvalidArgument;
    *offset = m_payloadOffset;
    *size = m_payloadSize;
    return tag::kOk;
}

int32_t CId3NewFrame::Write(CTagStream*, CTagWriteStream* output) {
    if (!output) return tag::kInvalidArgument;
    if (!m_header || !m_data) return tag::kNotReady;
    int32_t result = m_header->Write(output, m_header->bodySize);
    if (result == tag::kOk && !m_fields.empty()) result = output->Write(m_fields.data(), uint32_t(m_fields.size()));
    if (result != tag::kOk) return result;
    return tag::CopyStreamRange(m_data.Get(), m_payloadOffset, m_payloadSize, output);
}

int32_t CId3NewFrame::PictureType(CTagStream*, uint8_t* type) {
    if (!type) return tag::kInvalidArgument;
    if (Kind() != id3::kFramePicture || m_fields.size() < 2) return tag::kNotFound;
    // ID3v2.2: encoding and a three-letter format; later: encoding and a terminated MIME type.
    size_t at = m_header->HeaderSize() == 6 ? 4 : m_fields.find('\0', 1) + 1;
    if (at == 0 || at >= m_fields.size()) return tag::kMalformed;
    *type = uint8_t(m_fields[at]);
    return tag::kOk;
}

namespace {

CId3Frame* CreateNewFrame(int32_t versionCode, int32_t kind, std::string fields, CTagOwnedPtr<CTagStream> data,
                          uint32_t size, uint32_t offset) {
    if (size > UINT32_MAX - fields.size()) return nullptr;
    CTagOwnedPtr<CId3FrameHeader> header(
        CreateNewId3FrameHeader(versionCode, kind, uint32_t(fields.size()) + size), true);
    if (!header) return nullptr;
    return new (std::nothrow) CId3NewFrame(std::move(header), std::move(fields), std::move(data), size, offset);
}

}  // namespace

CId3Frame* CreateId3NewMoodFrame(int32_t versionCode, CTagOwnedPtr<CTagStream> data, uint32_t size, uint32_t offset) {
    std::string fields(reinterpret_cast<const char*>(id3::kMoodHeader), id3::kMoodHeaderSize);
    return CreateNewFrame(versionCode, id3::kFrameObject, std::move(fields), std::move(data), size, offset);
}

CId3Frame* CreateId3NewPictureFrame(int32_t versionCode, CTagOwnedPtr<CTagStream> data, uint32_t size,
                                    uint32_t offset, int32_t imageFormat, uint8_t pictureType) {
    bool png = imageFormat == tag::kImagePng;
    std::string fields(1, '\0');
    if (versionCode == id3::kVersion22) {
        fields += png ? "PNG" : "JPG";
    } else {
        fields += png ? "image/png" : "image/jpeg";
        fields += '\0';
    }
    fields += char(pictureType);
    fields += '\0';  // empty description
    return CreateNewFrame(versionCode, id3::kFramePicture, std::move(fields), std::move(data), size, offset);
}

CId3Frame* CreateId3NewTextFrame(int32_t versionCode, int32_t kind, uint8_t encodingByte, const std::string& prefix,
                                 CTagOwnedPtr<CTagStream> data, uint32_t size, uint32_t offset) {
    std::string fields(1, char(encodingByte));
    fields += prefix;
    return CreateNewFrame(versionCode, kind, std::move(fields), std::move(data), size, offset);
}

CId3Frame* CreateId3NewUfidFrame(int32_t versionCode, CTagOwnedPtr<CTagStream> data, uint32_t size, uint32_t offset) {
    std::string fields(id3::kLookupOwner, sizeof(id3::kLookupOwner));
    return CreateNewFrame(versionCode, id3::kFrameUniqueId, std::move(fields), std::move(data), size, offset);
}
