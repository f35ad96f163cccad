#include "library/media/tags/Id3Frame.h"

#include <algorithm>
#include <new>

#include "library/media/tags/Id3FrameFields.h"
#include "library/media/tags/Id3MoodData.h"
#include "library/media/tags/TagTypes.h"

namespace tag {

int32_t CopyStreamRange(CTagStream* source, uint32_t offset, uint32_t length, CTagWriteStream* output) {
    uint32_t saved;
    int32_t result = source->Tell(&saved);
    if (result != kOk) return result;
    result = source->Seek(offset, kSeekBegin);
    uint8_t block[1024];
    while (result == kOk && length) {
        uint32_t chunk = std::min<uint32_t>(length, sizeof(block));
        result = source->Read(block, chunk);
        if (result == kOk) result = output->Write(block, chunk);
        length -= chunk;
    }
    int32_t restored = source->Seek(saved, kSeekBegin);
    return result != kOk ? result : restored;
}

}  // namespace tag

uint32_t CId3Frame::Size() const { return m_header ? m_header->HeaderSize() + m_header->bodySize : 0; }

int32_t CId3Frame::Locate(CTagStream*, uint32_t* offset, uint32_t* size) {
    if (!offset || !size) return tag::kInvalidArgument;
    if (!m_header) return tag::kNotReady;
    *offset = m_header->bodyOffset;
    *size = m_header->bodySize;
    return tag::kOk;
}

int32_t CId3Frame::Prepare(CTagStream* stream) { return stream ? tag::kOk : tag::kInvalidArgument; }

int32_t CId3Frame::Write(CTagStream* source, CTagWriteStream* output) {
    if (!source || !output) return tag::kInvalidArgument;
    if (!m_header) return tag::kNotReady;
    int32_t result = m_header->Write(output, m_header->bodySize);
    if (result != tag::kOk) return result;
    return tag::CopyStreamRange(source, m_header->bodyOffset, m_header->bodySize, output);
}

int32_t CId3Frame::PictureType(CTagStream*, uint8_t*) { return tag::kNotFound; }

int32_t CId3GeobFrame::Locate(CTagStream* stream, uint32_t* offset, uint32_t* size) {
    if (!stream || !offset || !size) return tag::kInvalidArgument;
    if (!m_header) return tag::kNotReady;
    uint32_t payload;
    int32_t result = id3::LocateMoodPayload(stream, *m_header, &payload);
    if (result != tag::kOk) return result;
    *offset = m_header->bodyOffset + (m_header->bodySize - payload);
    *size = payload;
    return tag::kOk;
}

int32_t CId3PictureFrame::Locate(CTagStream* stream, uint32_t* offset, uint32_t* size) {
    if (!stream || !offset || !size) return tag::kInvalidArgument;
    if (!m_header) return tag::kNotReady;
    id3::PictureField field;
    int32_t result = id3::ParsePictureField(stream, *m_header, m_versionCode, &field);
    if (result != tag::kOk) return result;
    *offset = field.offset;
    *size = field.size;
    return tag::kOk;
}

int32_t CId3PictureFrame::PictureType(CTagStream* stream, uint8_t* type) {
    if (!stream || !type) return tag::kInvalidArgument;
    if (!m_header) return tag::kNotReady;
    id3::PictureField field;
    int32_t result = id3::ParsePictureField(stream, *m_header, m_versionCode, &field);
    if (result == tag::kOk) *type = field.pictureType;
    return result;
}

int32_t CId3TextFrame::Locate(CTagStream* stream, uint32_t* offset, uint32_t* size) {
    if (!stream || !offset || !size) return tag::kInvalidArgument;
    if (!m_header) return tag::kNotReady;
    id3::TextField field;
    int32_t result = id3::ParseTextField(stream, *m_header, &field);
    if (result != tag::kOk) return result;
    *offset = field.offset;
    *size = field.size;
    return tag::kOk;
}

int32_t CId3UfidFrame::Locate(CTagStream* stream, uint32_t* offset, uint32_t* size) {
    if (!stream || !offset || !size) return tag::kInvalidArgument;
    if (!m_header) return tag::kNotReady;
    return id3::LocateLookupId(stream, *m_header, offset, size);
}

CId3Frame* CreateLoadedId3Frame(CTagOwnedPtr<CId3FrameHeader> header, int32_t versionCode) {
    int32_t kind = header->Kind();
    if (kind == id3::kFrameObject) return new (std::nothrow) CId3GeobFrame(std::move(header));
    if (kind == id3::kFramePicture) return new (std::nothrow) CId3PictureFrame(std::move(header), versionCode);
    if (id3::IsTextKind(kind)) return new (std::nothrow) CId3TextFrame(std::move(header));
    if (kind == id3::kFrameUniqueId) return new (std::nothrow) CId3UfidFrame(std::move(header));
    return new (std::nothrow) CId3Frame(std::move(header));
}
