#include "library/media/tags/Id3Reader.h"

#include <algorithm>
#include <new>

#include "library/media/tags/Id3FrameFields.h"
#include "library/media/tags/Id3FrameHeader.h"
#include "library/media/tags/Id3MoodData.h"
#include "library/media/tags/Id3TagImage.h"
#include "library/media/tags/TagBufferedStream.h"
#include "library/media/tags/TagTypes.h"

namespace {
constexpr uint32_t kTextLimit = 1024;
}

int32_t CId3Reader::Load(CTagOwnedPtr<CTagStream> stream) {
    Close();
    if (!stream) return tag::kInvalidArgument;
    CTagBufferedStream* buffered = new (std::nothrow) CTagBufferedStream(std::move(stream));
    if (!buffered) return tag::kOutOfMemory;
    m_stream = CTagOwnedPtr<CTagStream>(buffered, true);
    int32_t result = m_header.Read(m_stream.Get());
    if (result != tag::kOk) return result;
    // Truncated files are common: the frames that are there can still be read.
    uint32_t streamSize;
    result = m_stream->GetSize(&streamSize);
    if (result != tag::kOk) return result;
    if (m_header.present && m_header.size > streamSize - m_header.bodyStart) m_header.size = streamSize - m_header.bodyStart;
    bool needed;
    CId3TagHeader imageHeader;
    result = id3::BuildCleanTagImage(m_stream.Get(), m_header, &needed, &m_image, &imageHeader);
    if (result != tag::kOk) return result;
    if (needed) {
        m_imageStream.reset(new (std::nothrow) CTagMemoryStream(m_image.data(), uint32_t(m_image.size())));
        if (!m_imageStream) return tag::kOutOfMemory;
        m_header = imageHeader;
    }
    return tag::kOk;
}

int32_t CId3Reader::Close() {
    if (m_stream) m_stream->Close();
    m_stream.Reset();
    m_imageStream.reset();
    m_image.clear();
    m_header = CId3TagHeader();
    return tag::kOk;
}

CTagStream* CId3Reader::TagSource() const {
    return m_imageStream ? static_cast<CTagStream*>(m_imageStream.get()) : m_stream.Get();
}

int32_t CId3Reader::ReadAt(uint32_t offset, void* buffer, uint32_t length) {
    if (!buffer) return tag::kInvalidArgument;
    if (!m_stream) return tag::kNotReady;
    return tag::ReadStreamAt(TagSource(), offset, buffer, length);
}

int32_t CId3Reader::Parse() {
    if (!m_stream) return tag::kNotReady;
    if (!m_header.present) return tag::kOk;
    CTagStream* source = TagSource();
    int32_t result = source->Seek(m_header.bodyStart, kSeekBegin);
    if (result != tag::kOk) return result;
    CTagOwnedPtr<CId3FrameHeader> frame(CreateId3FrameHeader(m_header.VersionCode()), true);
    if (!frame) return m_header.VersionCode() ? tag::kOutOfMemory : tag::kNotReady;
    const uint32_t end = m_header.bodyStart + m_header.size;
    for (;;) {
        uint32_t position;
        result = source->Tell(&position);
        if (result != tag::kOk) return result;
        // Fewer bytes than a frame header: what is left is padding, however it is filled.
        if (position >= end || end - position < frame->HeaderSize()) return tag::kOk;
        result = frame->Read(source);
        if (result != tag::kOk) return result;
        if (frame->Kind() == id3::kFramePadding) return tag::kOk;
        // A frame that claims to run past the tag ends the walk: later bytes are not frames.
        if (frame->bodySize > end - frame->bodyOffset) return tag::kOk;
        result = OfferFrame(source, *frame);
        if (result != 0) return result;
        result = source->Seek(frame->bodyOffset + frame->bodySize, kSeekBegin);
        if (result != tag::kOk) return result;
    }
}

int32_t CId3Reader::OfferFrame(CTagStream* source, const CId3FrameHeader& frame) {
    const int32_t kind = frame.Kind();
    const int32_t versionCode = m_header.VersionCode();
    if (id3::HasTransformedBody(frame, versionCode)) return 0;
    int32_t result;
    if (kind == id3::kFrameObject && m_moodDataHandler) {
        uint32_t payload;
        result = id3::LocateMoodPayload(source, frame, &payload);
        if (result < 0) return result;
        if (result == tag::kOk)
            return m_moodDataHandler(m_moodDataContext, frame.bodyOffset + (frame.bodySize - payload), payload);
    } else if (kind == id3::kFramePicture && m_pictureHandler) {
        id3::PictureField picture;
        result = id3::ParsePictureField(source, frame, versionCode, &picture);
        if (result != tag::kOk) return result;
        return m_pictureHandler(m_pictureContext, picture.offset, picture.size, picture.pictureType,
                                picture.imageFormat);
    } else if (id3::IsTextKind(kind) && m_textItemHandler) {
        id3::TextField text;
        result = id3::ParseTextField(source, frame, &text);
        if (result != tag::kOk) return result;
        if (!m_textBuffer) {
            m_textBuffer.reset(new (std::nothrow) uint8_t[kTextLimit]);
            if (!m_textBuffer) return tag::kOutOfMemory;
        }
        uint32_t count = std::min(text.size, kTextLimit);
        result = tag::ReadStreamAt(source, text.offset, m_textBuffer.get(), count);
        if (result != tag::kOk) return result;
        return m_textItemHandler(m_textItemContext, m_textBuffer.get(), count, uint8_t(id3::ItemTypeOfKind(kind)),
                                 text.encoding);
    } else if (kind == id3::kFrameUniqueId && m_lookupIdHandler) {
        uint32_t offset, size;
        result = id3::LocateLookupId(source, frame, &offset, &size);
        if (result < 0) return result;
        if (result == tag::kOk) return m_lookupIdHandler(m_lookupIdContext, offset, size);
    }
    return 0;
}
