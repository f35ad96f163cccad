#include "library/media/tags/Mp4DataBox.h"

#include <utility>

#include "library/media/tags/Id3Frame.h"
#include "library/media/tags/TagTypes.h"

CMp4DataBox::CMp4DataBox(uint8_t dataType, CTagOwnedPtr<CTagStream> value, uint32_t size, uint32_t offset)
    : CMp4RawFullBox(NewMp4BoxHeader(mp4::kData), kLocaleSize, false),
      m_dataType(dataType),
      m_value(std::move(value)),
      m_valueSize(m_value ? size : 0),
      m_valueOffset(offset) {}

uint64_t CMp4DataBox::Size() const {
    if (m_loaded) return CMp4RawFullBox::Size();
    return m_header.HeaderLength() + 4 + kLocaleSize + uint64_t(m_valueSize);
}

int32_t CMp4DataBox::Write(CTagStream* source, CTagWriteStream* output) {
    if (m_loaded) return CMp4RawFullBox::Write(source, output);
    if (!output) return tag::kInvalidArgument;
    // Version 0; the type's two high bytes stay 0; the locale is 0.
    const uint8_t fields[4 + kLocaleSize] = {0, 0, 0, m_dataType, 0, 0, 0, 0};
    int32_t result = m_header.Write(output, Size());
    if (result == tag::kOk) result = output->Write(fields, sizeof(fields));
    if (result == tag::kOk && m_valueSize)
        result = tag::CopyStreamRange(m_value.Get(), m_valueOffset, m_valueSize, output);
    return result;
}
