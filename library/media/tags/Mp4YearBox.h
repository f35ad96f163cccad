// "yrrc", the recording year of a 3GP file: version, flags, the year as a 16-bit number.
#pragma once

#include <cstdint>
#include <string>

#include "library/media/tags/Mp4RawFullBox.h"

class CMp4YearBox : public CMp4RawFullBox {
public:
    explicit CMp4YearBox(const CMp4BoxHeader& header) : CMp4RawFullBox(header, 0, true) {}
    // The year is the decimal number at the start of the first five characters of text; 0 when
    // it starts with none.
    explicit CMp4YearBox(const std::string& text);
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    uint64_t Size() const override;

    uint16_t Year() const { return m_year; }

private:
    static constexpr uint32_t kBodySize = 6;

    uint16_t m_year = 0;
};
