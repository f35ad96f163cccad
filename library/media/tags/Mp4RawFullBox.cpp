#include "library/media/tags/Mp4RawFullBox.h"

#include "library/media/tags/TagParser.h"
#include "library/media/tags/TagTypes.h"

int32_t CMp4RawFullBox::Locate(uint32_t* offset, uint32_t* size) const {
    if (!offset || !size) return tag::kInvalidArgument;
    if (!m_loaded) return tag::kNotFound;
    const uint32_t skip = 4 + m_fieldsLength;
    if (m_header.PayloadSize() < skip) return tag::kMalformed;
    *offset = m_header.dataOffset + skip;
    *size = m_header.PayloadSize() - skip;
    return tag::kOk;
}

int32_t CMp4RawFullBox::ReadData(CTagStream* source, uint32_t limit, std::string* data) const {
    uint32_t offset, size;
    int32_t result = Locate(&offset, &size);
    if (result != tag::kOk) return result;
    data->assign(size < limit ? size : limit, '\0');
    return data->empty() ? tag::kOk : tag::ReadStreamAt(source, offset, &(*data)[0], uint32_t(data->size()));
}
