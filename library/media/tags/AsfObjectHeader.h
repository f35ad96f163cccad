// The 24-byte header of an ASF object (GUID and 64-bit size), the objects we know by GUID, and the
// little-endian field helpers of the ASF family.
#pragma once

#include <cstdint>

#include "library/media/tags/TagStream.h"

namespace asf {

constexpr uint32_t kGuidSize = 16;
constexpr uint32_t kObjectHeaderSize = 24;

// Our own index of the objects we interpret; 0 for every other GUID.
enum ObjectIndex : int32_t {
    kObjectOther = 0,
    kObjectHeader = 1,
    kObjectContentDescription = 2,
    kObjectExtendedContentDescription = 3,
    kObjectHeaderExtension = 4,
    kObjectFileProperties = 5,
    kObjectMetadataLibrary = 6,
    kObjectIndexCount = 7,
};

// By object index, as stored in a file (index 0 is the null GUID).
extern const uint8_t kObjectGuids[kObjectIndexCount][kGuidSize];
// What a new header extension carries in its reserved fields.
extern const uint8_t kHeaderExtensionReservedGuid[kGuidSize];
constexpr uint16_t kHeaderExtensionReservedValue = 6;

uint16_t Read16(const uint8_t* bytes);
uint32_t Read32(const uint8_t* bytes);
void Put16(uint16_t value, uint8_t* bytes);
void Put32(uint32_t value, uint8_t* bytes);

}  // namespace asf

class CAsfObjectHeader {
public:
    // A header for an object we create: size 24, no body yet.
    static CAsfObjectHeader New(int32_t objectIndex);

    // Reads the header at offset; the object must end by limit. Sizes below 24 and sizes of
    // 4 GiB or more (we keep 32-bit positions) give -3.
    int32_t Read(CTagStream* stream, uint32_t offset, uint32_t limit);
    // The header with that object size; -3 for 4 GiB or more.
    int32_t Write(CTagWriteStream* output, uint64_t objectSize) const;

    int32_t Index() const;
    uint32_t PayloadSize() const { return size - asf::kObjectHeaderSize; }
    uint32_t End() const { return dataOffset + PayloadSize(); }

    uint8_t guid[asf::kGuidSize] = {};
    uint32_t size = asf::kObjectHeaderSize;
    uint32_t dataOffset = 0;  // the absolute position behind the header
};
