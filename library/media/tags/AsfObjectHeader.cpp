#include "library/media/tags/AsfObjectHeader.h"

#include <cstring>

#include "library/media/tags/TagTypes.h"

namespace asf {

const uint8_t kObjectGuids[kObjectIndexCount][kGuidSize] = {
    {},
    {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C},
    {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C},
    {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11, 0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50},
    {0xB5, 0x03, 0xBF, 0x5F, 0x2E, 0xA9, 0xCF, 0x11, 0x8E, 0xE3, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65},
    {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11, 0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65},
    {0x94, 0x1C, 0x23, 0x44, 0x98, 0x94, 0xD1, 0x49, 0xA1, 0x41, 0x1D, 0x13, 0x4E, 0x45, 0x70, 0x54},
};

const uint8_t kHeaderExtensionReservedGuid[kGuidSize] = {0x11, 0xD2, 0xD3, 0xAB, 0xBA, 0xA9, 0xCF, 0x11,
                                                         0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};

uint16_t Read16(const uint8_t* bytes) { return uint16_t(bytes[0] | (bytes[1] << 8)); }
uint32_t Read32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | (uint32_t(bytes[1]) << 8) | (uint32_t(bytes[2]) << 16) | (uint32_t(bytes[3]) << 24);
}
void Put16(uint16_t value, uint8_t* bytes) {
    bytes[0] = uint8_t(value);
    bytes[1] = uint8_t(value >> 8);
}
void Put32(uint32_t value, uint8_t* bytes) {
    Put16(uint16_t(value), bytes);
    Put16(uint16_t(value >> 16), bytes + 2);
}

}  // namespace asf

CAsfObjectHeader CAsfObjectHeader::New(int32_t objectIndex) {
    CAsfObjectHeader header;
    std::memcpy(header.guid, asf::kObjectGuids[objectIndex], asf::kGuidSize);
    return header;
}

int32_t CAsfObjectHeader::Read(CTagStream* stream, uint32_t offset, uint32_t limit) {
    *this = CAsfObjectHeader();
    if (!stream) return tag::kInvalidArgument;
    if (offset > limit || limit - offset < asf::kObjectHeaderSize) return tag::kMalformed;
    uint8_t bytes[asf::kObjectHeaderSize];
    int32_t result = stream->Seek(offset, kSeekBegin);
    if (result == tag::kOk) result = stream->Read(bytes, sizeof(bytes));
    if (result != tag::kOk) return result;
    std::memcpy(guid, bytes, asf::kGuidSize);
    const uint32_t low = asf::Read32(bytes + 16), high = asf::Read32(bytes + 20);
    // Only 32-bit positions are kept: a larger object would be cut short when written back.
    if (high != 0 || low < asf::kObjectHeaderSize || low > limit - offset) return tag::kMalformed;
    size = low;
    dataOffset = offset + asf::kObjectHeaderSize;
    return tag::kOk;
}

int32_t CAsfObjectHeader::Write(CTagWriteStream* output, uint64_t objectSize) const {
    if (!output) return tag::kInvalidArgument;
    if (objectSize > 0xFFFFFFFFu || objectSize < asf::kObjectHeaderSize) return tag::kMalformed;
    uint8_t bytes[asf::kObjectHeaderSize];
    std::memcpy(bytes, guid, asf::kGuidSize);
    asf::Put32(uint32_t(objectSize), bytes + 16);
    asf::Put32(0, bytes + 20);
    return output->Write(bytes, sizeof(bytes));
}

int32_t CAsfObjectHeader::Index() const {
    for (int32_t index = 1; index < asf::kObjectIndexCount; ++index)
        if (std::memcmp(guid, asf::kObjectGuids[index], asf::kGuidSize) == 0) return index;
    return asf::kObjectOther;
}
