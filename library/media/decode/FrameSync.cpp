#include "library/media/decode/FrameSync.h"

#include <cstring>

#include "library/media/decode/MPEGFrame.h"

HRESULT FindFrameSync(const uint8_t* buffer, size_t length, uint32_t* offset) {
    if (offset != nullptr) *offset = 0;
    if (buffer == nullptr || offset == nullptr || length < 2) return E_INVALIDARG;
    if (length < 5) return E_FAIL;
    const size_t limit = length - 4;
    for (size_t p = 0; p < limit; ++p) {
        MPEGFrame frame;
        if (FAILED(frame.ParseHeader(buffer + p, length - p))) continue;
        const size_t frameLength = frame.frameLength;
        if (frameLength == 0 || frameLength >= limit - p) continue;
        MPEGFrame next;
        if (FAILED(next.ParseHeader(buffer + p + frameLength, length - p - frameLength))) continue;
        *offset = static_cast<uint32_t>(p);
        return S_OK;
    }
    return E_FAIL;
}

HRESULT ParseId3Header(const uint8_t* header, uint32_t* size) {
    if (header == nullptr || size == nullptr) return E_INVALIDARG;
    if (header[0] != 'I' || header[1] != 'D' || header[2] != '3') return E_FAIL;
    // Synch-safe integer: seven bits per byte (ID3v2.4 structure 6.2).
    const uint32_t tagSize = (uint32_t(header[6] & 0x7F) << 21) | (uint32_t(header[7] & 0x7F) << 14) |
                             (uint32_t(header[8] & 0x7F) << 7) | uint32_t(header[9] & 0x7F);
    *size = tagSize + 10;
    return S_OK;
}

uint32_t Mpeg1Layer3FrameLength(const uint8_t* header) {
    static const uint32_t kBitRates[16] = {0,      32000,  40000,  48000,  56000,  64000,  80000,  96000,
                                           112000, 128000, 160000, 192000, 224000, 256000, 320000, 0};
    static const uint32_t kFrequencies[3] = {44100, 48000, 32000};
    if (header[0] != 0xFF || (header[1] & 0xE0) != 0xE0 || (header[1] & 0x0A) != 0x0A) return 0;
    const uint32_t bitRate = kBitRates[header[2] >> 4];
    const uint32_t index = (header[2] >> 2) & 3;
    // A reserved frequency index cannot start an information frame.
    if (bitRate == 0 || index > 2) return 0;
    return 144 * bitRate / kFrequencies[index] + ((header[2] >> 1) & 1);
}

bool IsEncoderInfoFrame(const uint8_t* frame, size_t length) {
    if (frame == nullptr || length < 5) return false;
    for (size_t i = 0; i + 5 <= length; ++i) {
        if (std::memcmp(frame + i, "LAME", 4) == 0) return true;
    }
    return false;
}
