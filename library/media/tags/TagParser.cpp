#include "library/media/tags/TagParser.h"

#include "library/media/tags/TagTypes.h"

int32_t CTagParser::SetMoodDataHandler(TagMoodDataHandler handler, void* context) {
    m_moodDataHandler = handler;
    m_moodDataContext = context;
    return tag::kOk;
}

int32_t CTagParser::SetPictureHandler(TagPictureHandler handler, void* context) {
    m_pictureHandler = handler;
    m_pictureContext = context;
    return tag::kOk;
}

int32_t CTagParser::SetTextItemHandler(TagTextItemHandler handler, void* context) {
    m_textItemHandler = handler;
    m_textItemContext = context;
    return tag::kOk;
}

int32_t CTagParser::SetLookupIdHandler(TagLookupIdHandler handler, void* context) {
    m_lookupIdHandler = handler;
    m_lookupIdContext = context;
    return tag::kOk;
}

namespace tag {

int32_t ReadStreamAt(CTagStream* stream, uint32_t offset, void* buffer, uint32_t length) {
    if (!buffer) return kInvalidArgument;
    if (!stream) return kNotReady;
    uint32_t saved;
    int32_t result = stream->Tell(&saved);
    if (result != kOk) return result;
    result = stream->Seek(offset, kSeekBegin);
    if (result == kOk) result = stream->Read(buffer, length);
    int32_t restored = stream->Seek(saved, kSeekBegin);
    return result != kOk ? result : restored;
}

}  // namespace tag
