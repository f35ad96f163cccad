#pragma once
// One MPEG audio frame header (ISO/IEC 11172-3 2.4.1.3, ISO/IEC 13818-3 for the low rates).

#include <cstddef>
#include <cstdint>

#include "library/media/decode/ProbeResult.h"

class MPEGFrame {
public:
    MPEGFrame() = default;
    virtual ~MPEGFrame() = default;

    // E_POINTER for null bytes, E_INVALIDARG for fewer than 4, E_FAIL for an invalid header.
    HRESULT ParseHeader(const uint8_t* bytes, size_t count);
    HRESULT GetFrameLength(uint32_t* length) const;

    uint32_t frameLength = 0;
    uint32_t channels = 0;
    uint8_t syncBits = 0;
    uint8_t versionBit = 0;
    uint8_t layerBits = 0;
    uint8_t protectionBit = 0;
    uint8_t bitRateIndex = 0;
    uint8_t samplingIndex = 0;
    uint8_t padBit = 0;
    uint8_t privateBit = 0;
    uint8_t channelMode = 0;
    uint8_t modeExtension = 0;
    uint8_t copyFlag = 0;
    uint8_t homeFlag = 0;
    uint32_t emphasis = 0;
    uint32_t bitRate = 0;
    uint32_t samplingFrequency = 0;
    uint32_t channelModeValue = 0;
};
