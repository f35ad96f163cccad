#include "library/media/tags/Id3Reader.h"

#include <algorithm>
#include <new>

#include "library/media/tags/Id3FrameFields.h"
#include "library/media/tags/Id3FrameHeader.h"
#include "library/media/tags/Id3MoodData.h"
#include "library/media/tags/TagTypes.h"
#include "library/media/tags/TagUtf8.h"

namespace {
constexpr uint32_t kTextLimit = 1024;
}

int32_t CId3Reader::Load(CTagOwnedPtr<CTagStream> stream) {
    // Truncated files are common: the frames that are there can still be read.
    return m_source.Load(std::move(stream), CId3TagSource::kReadWhatIsThere);
}

int32_t CId3Reader::Close() {
    m_source.Close();
    return tag::kOk;
}

int32_t CId3Reader::ReadAt(uint32_t offset, void* buffer, uint32_t length) {
    if (!buffer) return tag::kInvalidArgument;
    if (!m_source.IsOpen()) return tag::kNotReady;
    return tag::ReadStreamAt(m_source.Frames(), offset, buffer, length);
}

int32_t CId3Reader::Parse() {
    if (!m_source.IsOpen()) return tag::kNotReady;
    const CId3TagHeader& header = m_source.TagHeader();
    if (!header.present) return tag::kOk;
    CTagStream* source = m_source.Frames();
    int32_t result = source->Seek(header.bodyStart, kSeekBegin);
    if (result != tag::kOk) return result;
    CTagOwnedPtr<CId3FrameHeader> frame(CreateId3FrameHeader(header.VersionCode()), true);
    if (!frame) return header.VersionCode() ? tag::kOutOfMemory : tag::kNotReady;
    const uint32_t end = header.bodyStart + header.size;
    for (;;) {
        bool more;
        result = ReadNextId3Frame(source, end, frame.Get(), &more);
        // A frame that claims to run past the tag ends the walk: later bytes are not frames.
        if (result == tag::kMalformed) return tag::kOk;
        if (result != tag::kOk || !more) return result;
        result = OfferFrame(source, *frame);
        if (result != 0) return result;
        result = source->Seek(frame->bodyOffset + frame->bodySize, kSeekBegin);
        if (result != tag::kOk) return result;
    }
}

int32_t CId3Reader::OfferFrame(CTagStream* source, const CId3FrameHeader& frame) {
    const int32_t kind = frame.Kind();
    const int32_t versionCode = m_source.TagHeader().VersionCode();
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
        if (count < text.size) count = tag::CharacterBoundary(m_textBuffer.get(), count, text.encoding);
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
