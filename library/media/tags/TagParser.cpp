#include "library/media/tags/TagParser.h"

#include <string>
#include <vector>

#include "library/media/tags/TagTypes.h"
#include "library/media/tags/TagUtf8.h"

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

int32_t CheckDataRange(CTagStream* data, uint32_t size, uint32_t offset) {
    if (!data) return kInvalidArgument;
    uint32_t available;
    int32_t result = data->GetSize(&available);
    if (result != kOk) return result;
    return offset <= available && size <= available - offset ? kOk : kInvalidArgument;
}

int32_t CheckUtf8Data(CTagStream* data, uint32_t size, uint32_t offset) {
    std::vector<uint8_t> bytes(size);
    int32_t result = size ? ReadStreamAt(data, offset, bytes.data(), size) : kOk;
    if (result != kOk) return result;
    std::u16string units;
    return Utf8ToUtf16(bytes.data(), bytes.size(), true, &units) ? kOk : kInvalidArgument;
}

}  // namespace tag
