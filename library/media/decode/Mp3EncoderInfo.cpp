#include "library/media/decode/Mp3EncoderInfo.h"

#include <cstring>

namespace {

uint32_t ReadBigEndian32(const uint8_t* bytes) {
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | uint32_t(bytes[3]);
}

bool IsMpeg1(const MPEGFrame& header) { return header.versionBit == 1; }

// Layer III side information follows the header: the "Xing" header follows it.
size_t XingOffset(const MPEGFrame& header) {
    const bool mono = header.channelMode == 3;
    const size_t sideInfo = IsMpeg1(header) ? (mono ? 17 : 32) : (mono ? 9 : 17);
    return 4 + sideInfo;
}

// Flags of the "Xing" header: which of its optional fields follow the flags.
const uint32_t kXingFrames = 1;
const uint32_t kXingBytes = 2;
const uint32_t kXingToc = 4;
const uint32_t kXingQuality = 8;
const size_t kXingTocBytes = 100;
// In the encoder's tag behind the "Xing" fields: 12 bits of delay, then 12 bits of padding.
const size_t kLameDelayField = 21;
// The "VBRI" header sits 32 bytes behind the frame header whatever the mode.
const size_t kVbriOffset = 4 + 32;
const size_t kVbriFramesField = 14;

void ReadLameGap(const uint8_t* frame, size_t length, size_t at, EncoderFrameCount* count) {
    if (length < at + kLameDelayField + 3 || std::memcmp(frame + at, "LAME", 4) != 0) return;
    const uint8_t* gap = frame + at + kLameDelayField;
    count->delaySamples = (uint32_t(gap[0]) << 4) | (gap[1] >> 4);
    count->paddingSamples = (uint32_t(gap[1] & 0x0F) << 8) | gap[2];
}

}  // namespace

uint32_t SamplesPerFrame(const MPEGFrame& header) {
    // Layer bits: 3 = Layer I, 2 = Layer II, 1 = Layer III.
    if (header.layerBits == 3) return 384;
    if (header.layerBits == 2 || IsMpeg1(header)) return 1152;
    return 576;
}

bool ReadEncoderFrameCount(const uint8_t* frame, size_t length, const MPEGFrame& header, EncoderFrameCount* count) {
    if (frame == nullptr || count == nullptr || header.layerBits != 1) return false;
    *count = EncoderFrameCount();
    const size_t xing = XingOffset(header);
    if (length >= xing + 12 && (std::memcmp(frame + xing, "Xing", 4) == 0 || std::memcmp(frame + xing, "Info", 4) == 0)) {
        const uint32_t flags = ReadBigEndian32(frame + xing + 4);
        if (!(flags & kXingFrames)) return false;
        count->frames = ReadBigEndian32(frame + xing + 8);
        const size_t tag = xing + 12 + ((flags & kXingBytes) ? 4 : 0) + ((flags & kXingToc) ? kXingTocBytes : 0) +
                           ((flags & kXingQuality) ? 4 : 0);
        ReadLameGap(frame, length, tag, count);
        return count->frames != 0;
    }
    if (length >= kVbriOffset + kVbriFramesField + 4 && std::memcmp(frame + kVbriOffset, "VBRI", 4) == 0) {
        count->frames = ReadBigEndian32(frame + kVbriOffset + kVbriFramesField);
        return count->frames != 0;
    }
    return false;
}
