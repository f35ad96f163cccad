#include "library/analysis/MoodRecordStrip.h"

#include <cstring>

namespace {

constexpr uint32_t kHeaderSize = 20;

uint32_t ReadBigEndian32(const uint8_t* bytes) {
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | bytes[3];
}

}  // namespace

int32_t StripMoodRecords(uint32_t size, uint32_t capacity, const uint8_t* payload, uint8_t* output,
                         uint32_t* written) {
    if (written) *written = 0;
    if (size == 0) return kStripEmpty;
    if (!payload || size > 0x7FFFFFFFu) return kStripMalformed;
    uint32_t offset = 0;
    uint32_t kept = 0;
    while (offset < size) {
        if (size - offset < kHeaderSize) return kStripMalformed;
        const uint32_t length = ReadBigEndian32(payload + offset + 16);
        if (length > size - offset - kHeaderSize) return kStripMalformed;
        const uint32_t recordSize = kHeaderSize + length;
        if (std::memcmp(payload + offset, "GMMD", 4) != 0) {
            if (output) {
                if (recordSize > capacity - kept) return kStripNoRoom;
                std::memcpy(output + kept, payload + offset, recordSize);
                if (written) *written = kept + recordSize;
            }
            kept += recordSize;
        }
        offset += recordSize;
    }
    return static_cast<int32_t>(kept);
}
