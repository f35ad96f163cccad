// The ten-byte ID3v2 tag header and where the tag's body lies in the file.
#pragma once

#include <cstdint>

#include "library/media/tags/TagStream.h"

namespace id3 {

// Frame format families, chosen by the tag version.
enum VersionCode : int32_t { kVersionUnknown = 0, kVersion22 = 1, kVersion23 = 2, kVersion24 = 3 };

// Tag header flags (ID3v2.3/2.4 section 3.1).
constexpr uint8_t kFlagUnsynchronisation = 0x80;
constexpr uint8_t kFlagExtendedHeader = 0x40;
constexpr uint8_t kFlagFooter = 0x10;

uint32_t ReadSynchsafe(const uint8_t* bytes);
void WriteSynchsafe(uint32_t value, uint8_t* bytes);
uint32_t ReadBigEndian(const uint8_t* bytes, int count);
// An ID3v2.4 frame size. Some writers store plain 32-bit sizes there: a byte with its high bit
// set cannot be synchsafe, so such a size is read as a plain number.
uint32_t ReadFrameSize24(const uint8_t* bytes);

}  // namespace id3

struct CId3TagHeader {
    char identifier[3] = {'I', 'D', '3'};
    uint16_t version = 0x0300;
    uint8_t flags = 0;
    uint32_t size = 0;       // the bytes after the header
    uint32_t bodyStart = 0;  // file offset of the first byte after the header
    bool present = false;    // false: the file begins with audio and has no tag yet

    int32_t VersionCode() const;
    // Skips leading zero bytes, then reads a tag header or recognises the start of an MPEG frame.
    int32_t Read(CTagStream* stream);
    // Where the audio starts: after the body and, in ID3v2.4, after a footer.
    uint64_t End() const;
};
