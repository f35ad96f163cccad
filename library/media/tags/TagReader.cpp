#include "library/media/tags/TagReader.h"

#include <algorithm>
#include <cstring>

#include "library/media/tags/TagTypes.h"

namespace {

struct IndexedObjectQuery {
    int32_t wanted;
    int32_t seen = -1;
    bool found = false;
    uint8_t typeFilter = tag::kPictureAnyType;
    uint32_t offset = 0;
    uint32_t size = 0;
    uint8_t type = tag::kPictureAnyType;
    int32_t format = tag::kImageOther;
};

int32_t OnMoodData(void* context, uint32_t offset, uint32_t size) {
    auto* query = static_cast<IndexedObjectQuery*>(context);
    if (++query->seen != query->wanted) return 0;
    query->offset = offset;
    query->size = size;
    query->found = true;
    return tag::kHandlerStop;
}

int32_t OnPictureForInfo(void* context, uint32_t offset, uint32_t size, uint8_t type, int32_t format) {
    auto* query = static_cast<IndexedObjectQuery*>(context);
    if (query->typeFilter != tag::kPictureAnyType && type != query->typeFilter) return 0;
    if (++query->seen != query->wanted) return 0;
    query->offset = offset;
    query->size = size;
    query->type = type;
    query->format = format;
    query->found = true;
    return tag::kHandlerStop;
}

struct PictureCount {
    uint8_t typeFilter;
    uint32_t count = 0;
};

int32_t OnPictureForCount(void* context, uint32_t, uint32_t, uint8_t type, int32_t) {
    auto* query = static_cast<PictureCount*>(context);
    if (query->typeFilter == tag::kPictureAnyType || type == query->typeFilter) ++query->count;
    return 0;
}

struct TextQuery {
    uint8_t itemType;
    uint8_t* buffer;
    uint32_t capacity;
    uint32_t length = 0;
    int32_t encoding = tag::kEncodingUndefined;
    bool found = false;
};

int32_t OnTextItem(void* context, const uint8_t* bytes, uint32_t count, uint8_t itemType, int32_t encoding) {
    auto* query = static_cast<TextQuery*>(context);
    if (itemType != query->itemType) return 0;
    if (query->buffer) std::memcpy(query->buffer, bytes, std::min(count, query->capacity));
    query->length = count;
    query->encoding = encoding;
    query->found = true;
    return tag::kHandlerStop;
}

struct LookupQuery {
    bool found = false;
    uint32_t offset = 0;
    uint32_t size = 0;
};

int32_t OnLookupId(void* context, uint32_t offset, uint32_t size) {
    auto* query = static_cast<LookupQuery*>(context);
    query->offset = offset;
    query->size = size;
    query->found = true;
    return tag::kHandlerStop;
}

}  // namespace

int32_t CTagReader::Close() {
    if (!m_parser) return tag::kOk;
    m_parser->Close();
    m_parser.Reset();
    return tag::kOk;
}

int32_t CTagReader::ReadObjectData(uint32_t objectOffset, uint32_t objectSize, uint32_t position, void* buffer,
                                   uint32_t length) {
    if (!buffer) return tag::kInvalidArgument;
    if (!m_parser) return tag::kNotReady;
    if (position > objectSize || length > objectSize - position) return tag::kInvalidArgument;
    if (position > UINT32_MAX - objectOffset) return tag::kInvalidArgument;
    return m_parser->ReadAt(objectOffset + position, buffer, length);
}

int32_t CTagReader::FindMoodData(int32_t index, uint32_t* offset, uint32_t* size) {
    if (!offset || !size || index < 0) return tag::kInvalidArgument;
    if (!m_parser) return tag::kNotReady;
    IndexedObjectQuery query{index};
    m_parser->SetMoodDataHandler(OnMoodData, &query);
    int32_t result = m_parser->Parse();
    m_parser->SetMoodDataHandler(nullptr, nullptr);
    if (result < 0) return result;
    if (!query.found) return tag::kNotFound;
    *offset = query.offset;
    *size = query.size;
    return tag::kOk;
}

int32_t CTagReader::CountPictures(uint8_t pictureType, uint32_t* count) {
    if (!count) return tag::kInvalidArgument;
    if (!m_parser) return tag::kNotReady;
    PictureCount query{pictureType};
    m_parser->SetPictureHandler(OnPictureForCount, &query);
    int32_t result = m_parser->Parse();
    m_parser->SetPictureHandler(nullptr, nullptr);
    if (result != 0) return result;
    *count = query.count;
    return tag::kOk;
}

int32_t CTagReader::GetPictureInfo(uint8_t pictureType, int32_t index, uint32_t* offset, uint32_t* size,
                                   uint8_t* type, int32_t* imageFormat) {
    if (!offset || !size || !type || !imageFormat || index < 0) return tag::kInvalidArgument;
    if (!m_parser) return tag::kNotReady;
    IndexedObjectQuery query{index};
    query.typeFilter = pictureType;
    m_parser->SetPictureHandler(OnPictureForInfo, &query);
    int32_t result = m_parser->Parse();
    m_parser->SetPictureHandler(nullptr, nullptr);
    if (result < 0) return result;
    if (!query.found) return tag::kNotFound;
    *offset = query.offset;
    *size = query.size;
    *type = query.type;
    *imageFormat = query.format;
    return tag::kOk;
}

int32_t CTagReader::GetTextItem(int32_t itemType, void* buffer, uint32_t* size, int32_t* encoding) {
    if (!size || !encoding) return tag::kInvalidArgument;
    if (itemType < 0 || itemType >= tag::kItemTypeCount) return tag::kInvalidArgument;
    if (!m_parser) return tag::kNotReady;
    TextQuery query{uint8_t(itemType), static_cast<uint8_t*>(buffer), buffer ? *size : 0};
    m_parser->SetTextItemHandler(OnTextItem, &query);
    int32_t result = m_parser->Parse();
    m_parser->SetTextItemHandler(nullptr, nullptr);
    if (result < 0) return result;
    if (!query.found) return tag::kNotFound;
    *size = query.length;
    *encoding = query.encoding;
    return tag::kOk;
}

int32_t CTagReader::FindLookupId(uint32_t* offset, uint32_t* size) {
    if (!offset || !size) return tag::kInvalidArgument;
    if (!m_parser) return tag::kNotReady;
    LookupQuery query;
    m_parser->SetLookupIdHandler(OnLookupId, &query);
    int32_t result = m_parser->Parse();
    m_parser->SetLookupIdHandler(nullptr, nullptr);
    if (result < 0) return result;
    if (!query.found) return tag::kNotFound;
    *offset = query.offset;
    *size = query.size;
    return tag::kOk;
}
