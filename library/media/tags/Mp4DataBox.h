// "data" of an "ilst" item: version 0, a 24-bit data type (1 text, 13 JPEG, 14 PNG, 0 numbers),
// a zero locale, then the value. A new box copies its value from the caller's data stream.
#pragma once

#include <cstdint>

#include "library/media/tags/Mp4RawFullBox.h"
#include "library/media/tags/TagOwnedPtr.h"

class CMp4DataBox : public CMp4RawFullBox {
public:
    explicit CMp4DataBox(const CMp4BoxHeader& header) : CMp4RawFullBox(header, kLocaleSize, true) {}
    CMp4DataBox(uint8_t dataType, CTagOwnedPtr<CTagStream> value, uint32_t size, uint32_t offset);
    int32_t Write(CTagStream* source, CTagWriteStream* output) override;
    uint64_t Size() const override;

private:
    static constexpr uint32_t kLocaleSize = 4;

    uint8_t m_dataType = 0;
    CTagOwnedPtr<CTagStream> m_value;
    uint32_t m_valueSize = 0;
    uint32_t m_valueOffset = 0;
};
