#include "library/media/tags/Id3TagHeader.h"

#include <cstring>

#include "library/media/tags/TagTypes.h"

namespace id3 {

uint32_t ReadSynchsafe(const uint8_t* bytes) {
    return (uint32_t(bytes[0] & 0x7F) << 21) | (uint32_t(bytes[1] & 0x7F) << 14) | (uint32_t(bytes[2] & 0x7F) << 7) |
           uint32_t(bytes[3] & 0x7F);
}

void WriteSynchsafe(uint32_t value, uint8_t* bytes) {
    bytes[0] = uint8_t((value >> 21) & 0x7F);
    bytes[1] = uint8_t((value >> 14) & 0x7F);
    bytes[2] = uint8_t((value >> 7) & 0x7F);
    bytes[3] = uint8_t(value & 0x7F);
}

uint32_t ReadBigEndian(const uint8_t* bytes, int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | bytes[i];
    return value;
}

uint32_t ReadFrameSize24(const uint8_t* bytes) {
    if ((bytes[0] | bytes[1] | bytes[2] | bytes[3]) & 0x80) return ReadBigEndian(bytes, 4);
    return ReadSynchsafe(bytes);
}

}  // namespace id3

int32_t CId3TagHeader::VersionCode() const {
    switch (version) {
        case 0x0200: return id3::kVersion22;
        case 0x0300: return id3::kVersion23;
        case 0x0301:
        case 0x0400: return id3::kVersion24;
        default: return id3::kVersionUnknown;
    }
}

uint64_t CId3TagHeader::End() const {
    if (!present) return 0;
    uint64_t end = uint64_t(bodyStart) + size;
    if (VersionCode() == id3::kVersion24 && (flags & id3::kFlagFooter)) end += 10;
    return end;
}

int32_t CId3TagHeader::Read(CTagStream* stream) {
    *this = CId3TagHeader();
    uint8_t bytes[10];
    int32_t result;
    do {
        result = stream->Read(bytes, 1);
        if (result != tag::kOk) return result;
    } while (bytes[0] == 0);
    result = stream->Seek(-1, kSeekCurrent);
    if (result == tag::kOk) result = stream->Read(bytes, sizeof(bytes));
    if (result != tag::kOk) return result;

    bool tagStart = (bytes[0] == 'I' && bytes[1] == 'D' && bytes[2] == '3') ||
                    (bytes[0] == 'e' && bytes[1] == 'a' && bytes[2] == '3');
    if (!tagStart) {
        if (bytes[0] == 'I' || bytes[0] == 'e') return tag::kMalformed;
        bool mpegFrame = bytes[0] == 0xFF && ((bytes[1] & 0xF0) == 0xF0 || (bytes[1] & 0xF0) == 0xE0) &&
                         (bytes[1] & 0x06) != 0;
        if (!mpegFrame) return tag::kMalformed;
        return stream->Seek(0, kSeekBegin);
    }
    std::memcpy(identifier, bytes, 3);
    version = uint16_t((bytes[3] << 8) | bytes[4]);
    if (VersionCode() == id3::kVersionUnknown) return tag::kMalformed;
    flags = bytes[5];
    size = id3::ReadSynchsafe(bytes + 6);
    present = true;
    return stream->Tell(&bodyStart);
}
