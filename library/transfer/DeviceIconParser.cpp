#include "library/transfer/DeviceIconParser.h"

namespace {
constexpr uint64_t kHeaderSize = 6;
constexpr uint64_t kEntrySize = 16;

uint32_t ReadLittle16(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8);
}

uint32_t ReadLittle32(const uint8_t* at) {
    return ReadLittle16(at) | (ReadLittle16(at + 2) << 16);
}

uint32_t Dimension(uint8_t value) {
    return value == 0 ? 256u : value;
}
}  // namespace

bool CDeviceIconParser::FindBestImage(const uint8_t* bytes, size_t size, Image* best) {
    if (bytes == nullptr || best == nullptr || size < kHeaderSize) return false;
    if (ReadLittle16(bytes) != 0 || ReadLittle16(bytes + 2) != 1) return false;
    const uint64_t count = ReadLittle16(bytes + 4);
    // Offsets and sizes come from the file: all bound arithmetic is done in 64 bits.
    const uint64_t total = size;
    if (count == 0 || count > (total - kHeaderSize) / kEntrySize) return false;

    bool found = false;
    uint32_t bestBits = 0;
    uint32_t bestArea = 0;
    for (uint64_t index = 0; index < count; ++index) {
        const uint8_t* entry = bytes + kHeaderSize + index * kEntrySize;
        const uint32_t bits = ReadLittle16(entry + 6);
        const uint64_t length = ReadLittle32(entry + 8);
        const uint64_t offset = ReadLittle32(entry + 12);
        if (length == 0 || offset > total || length > total - offset) return false;
        const uint32_t area = Dimension(entry[0]) * Dimension(entry[1]);
        if (!found || bits > bestBits || (bits == bestBits && area > bestArea)) {
            found = true;
            bestBits = bits;
            bestArea = area;
            best->offset = static_cast<size_t>(offset);
            best->length = static_cast<size_t>(length);
        }
    }
    return found;
}
