#include "library/media/tags/Mp4YearBox.h"

#include <cstddef>

#include "library/media/tags/TagTypes.h"

namespace {
constexpr size_t kYearDigits = 5;
}  // namespace

CMp4YearBox::CMp4YearBox(const std::string& text) : CMp4RawFullBox(NewMp4BoxHeader(mp4::kYrrc), 0, false) {
    uint32_t year = 0;
    for (size_t at = 0; at < text.size() && at < kYearDigits && text[at] >= '0' && text[at] <= '9'; ++at)
        year = year * 10 + uint32_t(text[at] - '0');
    // Five digits can pass 16 bits; the field keeps the low ones.
    m_year = uint16_t(year);
}

uint64_t CMp4YearBox::Size() const {
    return m_loaded ? CMp4RawFullBox::Size() : m_header.HeaderLength() + kBodySize;
}

int32_t CMp4YearBox::Write(CTagStream* source, CTagWriteStream* output) {
    if (m_loaded) return CMp4RawFullBox::Write(source, output);
    if (!output) return tag::kInvalidArgument;
    uint8_t body[kBodySize] = {};
    mp4::Put16(m_year, body + 4);
    int32_t result = m_header.Write(output, Size());
    return result == tag::kOk ? output->Write(body, sizeof(body)) : result;
}
