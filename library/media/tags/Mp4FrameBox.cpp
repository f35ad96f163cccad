#include "library/media/tags/Mp4FrameBox.h"

#include <new>

#include "library/media/tags/Id3Frame.h"
#include "library/media/tags/Id3IndexedKinds.h"
#include "library/media/tags/Id3MoodData.h"
#include "library/media/tags/Id3TagHeader.h"
#include "library/media/tags/TagTypes.h"

namespace {

std::string Be32(uint32_t value) {
    uint8_t bytes[4];
    mp4::Put32(value, bytes);
    return std::string(reinterpret_cast<const char*>(bytes), 4);
}

// A new frame box's fields: frame size, 16-bit frame kind, the body in front of the payload.
std::string FrameFields(int32_t frameKind, const std::string& bodyFields, uint32_t payloadSize) {
    return Be32(uint32_t(bodyFields.size()) + payloadSize) + char(frameKind >> 8) + char(frameKind) + bodyFields;
}

}  // namespace

CMp4FrameBox::CMp4FrameBox(int32_t frameKind, const std::string& bodyFields, CTagOwnedPtr<CTagStream> data,
                           uint32_t size, uint32_t offset)
    : CMp4Box(NewMp4BoxHeader(mp4::kUuid, mp4::kFrameBoxUserType), kFrameBox),
      m_loaded(false),
      m_fields(FrameFields(frameKind, bodyFields, size)),
      m_data(std::move(data)),
      m_payloadSize(m_data ? size : 0),
      m_payloadOffset(offset) {
    m_fields32.kind = frameKind;
}

int32_t CMp4FrameBox::Load(CTagStream* source) {
    if (!source) return tag::kInvalidArgument;
    return mp4::ReadFrameBoxFields(source, m_header, &m_fields32);
}

int32_t CMp4FrameBox::Write(CTagStream* source, CTagWriteStream* output) {
    if (!m_loaded) {
        if (!output) return tag::kInvalidArgument;
        int32_t result = m_header.Write(output, Size());
        if (result == tag::kOk) result = output->Write(m_fields.data(), uint32_t(m_fields.size()));
        return result == tag::kOk && m_payloadSize
                   ? tag::CopyStreamRange(m_data.Get(), m_payloadOffset, m_payloadSize, output)
                   : result;
    }
    if (!m_renumbered) return CMp4Box::Write(source, output);
    if (!source || !output) return tag::kInvalidArgument;
    // The body as loaded, its description replaced; the frame size follows the change.
    const uint32_t oldLength = uint32_t(m_description.bytes.size());
    uint8_t fields[mp4::kFrameBoxFieldsSize];
    mp4::Put32(m_fields32.bodySize - oldLength + uint32_t(m_newDescription.size()), fields);
    fields[4] = uint8_t(m_fields32.kind >> 8), fields[5] = uint8_t(m_fields32.kind);
    const uint32_t before = m_description.offset - m_fields32.bodyOffset;
    const uint32_t after = m_description.offset + oldLength;
    int32_t result = m_header.Write(output, Size());
    if (result == tag::kOk) result = output->Write(fields, sizeof(fields));
    if (result == tag::kOk) result = tag::CopyStreamRange(source, m_fields32.bodyOffset, before, output);
    if (result == tag::kOk) result = output->Write(m_newDescription.data(), uint32_t(m_newDescription.size()));
    if (result == tag::kOk) result = tag::CopyStreamRange(source, after, m_header.End() - after, output);
    return result;
}

uint64_t CMp4FrameBox::Size() const {
    if (!m_loaded) return m_header.HeaderLength() + m_fields.size() + uint64_t(m_payloadSize);
    if (!m_renumbered) return CMp4Box::Size();
    return CMp4Box::Size() - m_description.bytes.size() + m_newDescription.size();
}

int32_t CMp4FrameBox::LoadedFrameHeader(CTagOwnedPtr<CId3FrameHeader>* frame) const {
    *frame = CTagOwnedPtr<CId3FrameHeader>(CreateId3FrameHeader(id3::kVersion24), true);
    if (!*frame) return tag::kOutOfMemory;
    (*frame)->bodyOffset = m_fields32.bodyOffset;
    (*frame)->bodySize = m_fields32.bodySize;
    return tag::kOk;
}

int32_t CMp4FrameBox::CheckMoodData(CTagStream* source) const {
    if (m_fields32.kind != id3::kFrameObject) return 1;
    // Every object frame we make is the mood data.
    if (!m_loaded) return tag::kOk;
    CTagOwnedPtr<CId3FrameHeader> frame;
    int32_t result = LoadedFrameHeader(&frame);
    uint32_t payload;
    return result == tag::kOk ? id3::LocateMoodPayload(source, *frame, &payload) : result;
}

int32_t CMp4FrameBox::CheckLookupId(CTagStream* source) const {
    if (m_fields32.kind != id3::kFrameUniqueId) return 1;
    if (!m_loaded) return tag::kOk;
    CTagOwnedPtr<CId3FrameHeader> frame;
    int32_t result = LoadedFrameHeader(&frame);
    uint32_t offset, size;
    return result == tag::kOk ? id3::LocateLookupId(source, *frame, &offset, &size) : result;
}

int32_t CMp4FrameBox::NumberedEntry(CTagStream* source, int32_t* kind, uint32_t* number) {
    if (!m_loaded) {
        if (m_fields32.kind != id3::kFramePicture) return tag::kNotFound;
        *kind = m_newPictureKind;
        *number = m_newPictureNumber;
        return tag::kOk;
    }
    if (!m_descriptionRead) {
        CTagOwnedPtr<CId3FrameHeader> frame;
        int32_t result = LoadedFrameHeader(&frame);
        if (result == tag::kOk) result = mp4::ReadNumberedDescription(source, m_fields32.kind, *frame, &m_description);
        if (result != tag::kOk) return result;
        m_descriptionRead = true;
        m_number = m_description.parsed.index;
    }
    *kind = m_description.pictureKind;
    *number = m_number;
    return tag::kOk;
}

int32_t CMp4FrameBox::Renumber(uint32_t number) {
    if (number > id3::kMaxIndex) return tag::kInvalidArgument;
    if (!m_loaded) {
        if (m_fields32.kind != id3::kFramePicture) return tag::kNotFound;
        m_newPictureNumber = number;
        m_fields = FrameFields(m_fields32.kind, id3::IndexedPictureFields(m_newPictureKind, number, m_newImageFormat),
                               m_payloadSize);
        return tag::kOk;
    }
    if (!m_descriptionRead) return tag::kNotReady;
    m_number = number;
    m_newDescription = id3::WithIndex(m_description.encodingByte, m_description.bytes.data(), m_description.parsed,
                                      number);
    m_renumbered = true;
    return tag::kOk;
}

CMp4FrameBox* CreateMp4PictureFrameBox(int32_t pictureKind, uint32_t number, int32_t imageFormat,
                                      CTagOwnedPtr<CTagStream> data, uint32_t size, uint32_t offset) {
    const std::string fields = id3::IndexedPictureFields(pictureKind, number, imageFormat);
    if (fields.empty()) return nullptr;
    CMp4FrameBox* box = new (std::nothrow) CMp4FrameBox(id3::kFramePicture, fields, std::move(data), size, offset);
    if (!box) return nullptr;
    box->m_newPictureKind = pictureKind;
    box->m_newPictureNumber = number;
    box->m_newImageFormat = imageFormat;
    return box;
}
