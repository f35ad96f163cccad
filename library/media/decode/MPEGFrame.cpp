#include "library/media/decode/MPEGFrame.h"

namespace {

// Kilobits per second by bit-rate index 0..15; 0 marks the free and the forbidden index.
const uint16_t kMpeg1Layer1[16] = {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0};
const uint16_t kMpeg1Layer2[16] = {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0};
const uint16_t kMpeg1Layer3[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
const uint16_t kMpeg2Layer1[16] = {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0};
const uint16_t kMpeg2Layer23[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};

uint32_t BitRateKbps(uint8_t versionBit, uint8_t layerBits, uint8_t index) {
    // Layer bits: 3 = Layer I, 2 = Layer II, 1 = Layer III.
    if (versionBit == 1) {
        if (layerBits == 3) return kMpeg1Layer1[index];
        if (layerBits == 2) return kMpeg1Layer2[index];
        return kMpeg1Layer3[index];
    }
    if (layerBits == 3) return kMpeg2Layer1[index];
    return kMpeg2Layer23[index];
}

uint32_t SamplingFrequency(uint8_t syncBits, uint8_t versionBit, uint8_t index) {
    static const uint32_t kMpeg1[3] = {44100, 48000, 32000};
    static const uint32_t kMpeg2[3] = {22050, 24000, 16000};
    static const uint32_t kMpeg25[3] = {11025, 12000, 8000};
    if (index > 2) return 0;
    if (versionBit == 1) return kMpeg1[index];
    if (syncBits == 0xE0) return kMpeg25[index];
    return kMpeg2[index];
}

}  // namespace

HRESULT MPEGFrame::ParseHeader(const uint8_t* bytes, size_t count) {
    if (bytes == nullptr) return E_POINTER;
    if (count < 4) return E_INVALIDARG;
    const uint8_t b0 = bytes[0], b1 = bytes[1], b2 = bytes[2], b3 = bytes[3];
    if (b0 != 0xFF || (b1 & 0xE0) != 0xE0) return E_FAIL;

    syncBits = b1 & 0xF0;
    versionBit = (b1 >> 3) & 1;
    layerBits = (b1 >> 1) & 3;
    protectionBit = b1 & 1;
    bitRateIndex = b2 >> 4;
    samplingIndex = (b2 >> 2) & 3;
    padBit = (b2 >> 1) & 1;
    privateBit = b2 & 1;
    channelMode = b3 >> 6;
    modeExtension = (b3 >> 4) & 3;
    copyFlag = (b3 >> 3) & 1;
    homeFlag = (b3 >> 2) & 1;
    emphasis = b3 & 3;
    channelModeValue = channelMode;
    frameLength = 0;

    if (layerBits == 0) return E_FAIL;
    bitRate = BitRateKbps(versionBit, layerBits, bitRateIndex) * 1000;
    if (bitRate == 0) return E_FAIL;
    samplingFrequency = SamplingFrequency(syncBits, versionBit, samplingIndex);
    if (samplingFrequency == 0) return E_FAIL;
    channels = channelMode == 3 ? 1 : 2;

    const uint32_t r = bitRate, f = samplingFrequency, p = padBit;
    switch (b1) {
    case 0xFE: case 0xFF: case 0xF6: case 0xF7: case 0xE6: case 0xE7:
        frameLength = (12 * r / f + p) * 4;
        break;
    case 0xFA: case 0xFB: case 0xFC: case 0xFD:
        frameLength = 144 * r / f + p;
        break;
    case 0xF4: case 0xF5: case 0xE4: case 0xE5:
        // Layer II keeps 1152 samples per frame at every rate (ISO/IEC 13818-3 2.4.3.1).
        frameLength = 144 * r / f + p;
        break;
    case 0xF2: case 0xF3: case 0xE2: case 0xE3:
        frameLength = 72 * r / f + p;
        break;
    default:
        // MPEG 2.5 marker with the version bit set: a reserved combination without a length.
        frameLength = 0;
        break;
    }
    return S_OK;
}

HRESULT MPEGFrame::GetFrameLength(uint32_t* length) const {
    if (length == nullptr) return E_POINTER;
    *length = frameLength;
    return S_OK;
}
