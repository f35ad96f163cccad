// The header of one box of an ISO base media file (MP4, M4A, 3GP), the box types the library
// knows by family, and the user types of our own "uuid" boxes.
#pragma once

#include <cstdint>

#include "library/media/tags/TagStream.h"

namespace mp4 {

constexpr uint32_t FourCc(char a, char b, char c, char d) {
    return (uint32_t(uint8_t(a)) << 24) | (uint32_t(uint8_t(b)) << 16) | (uint32_t(uint8_t(c)) << 8) | uint8_t(d);
}
// "©" in item types is the single byte 0xA9.
constexpr uint32_t CopyrightFourCc(char b, char c, char d) {
    return (0xA9u << 24) | (uint32_t(uint8_t(b)) << 16) | (uint32_t(uint8_t(c)) << 8) | uint8_t(d);
}

enum BoxType : uint32_t {
    kFtyp = FourCc('f', 't', 'y', 'p'), kMoov = FourCc('m', 'o', 'o', 'v'), kMdat = FourCc('m', 'd', 'a', 't'),
    kTrak = FourCc('t', 'r', 'a', 'k'), kMdia = FourCc('m', 'd', 'i', 'a'), kMinf = FourCc('m', 'i', 'n', 'f'),
    kHdlr = FourCc('h', 'd', 'l', 'r'), kVmhd = FourCc('v', 'm', 'h', 'd'), kSmhd = FourCc('s', 'm', 'h', 'd'),
    kStbl = FourCc('s', 't', 'b', 'l'), kStsd = FourCc('s', 't', 's', 'd'), kStco = FourCc('s', 't', 'c', 'o'),
    kCo64 = FourCc('c', 'o', '6', '4'), kUdta = FourCc('u', 'd', 't', 'a'), kMeta = FourCc('m', 'e', 't', 'a'),
    kUuid = FourCc('u', 'u', 'i', 'd'), kDrms = FourCc('d', 'r', 'm', 's'), kAlac = FourCc('a', 'l', 'a', 'c'),
    kVprf = FourCc('V', 'P', 'R', 'F'), kAprf = FourCc('A', 'P', 'R', 'F'), kId32 = FourCc('I', 'D', '3', '2'),
    kIlst = FourCc('i', 'l', 's', 't'), kCovr = FourCc('c', 'o', 'v', 'r'), kData = FourCc('d', 'a', 't', 'a'),
    kMean = FourCc('m', 'e', 'a', 'n'), kName = FourCc('n', 'a', 'm', 'e'), kFreeform = FourCc('-', '-', '-', '-'),
    kTrkn = FourCc('t', 'r', 'k', 'n'), kGnre = FourCc('g', 'n', 'r', 'e'), kNam = CopyrightFourCc('n', 'a', 'm'),
    kArtUpper = CopyrightFourCc('A', 'R', 'T'), kArtLower = CopyrightFourCc('a', 'r', 't'),
    kAlb = CopyrightFourCc('a', 'l', 'b'), kGen = CopyrightFourCc('g', 'e', 'n'), kDay = CopyrightFourCc('d', 'a', 'y'),
    kWrt = CopyrightFourCc('w', 'r', 't'), kTitl = FourCc('t', 'i', 't', 'l'), kPerf = FourCc('p', 'e', 'r', 'f'),
    kAlbm = FourCc('a', 'l', 'b', 'm'), kYrrc = FourCc('y', 'r', 'r', 'c'),
    // Boxes whose offsets the editor cannot correct: fragmented movies and their indexes.
    kMoof = FourCc('m', 'o', 'o', 'f'), kMfra = FourCc('m', 'f', 'r', 'a'), kSidx = FourCc('s', 'i', 'd', 'x'),
};

// The sets of types a parent knows; any other type reads as 0.
enum TypeSet : int32_t { kSetBase = 0, kSetId3Meta = 1, kSetItems = 2, kSetAssets = 3 };
uint32_t TypeInSet(uint32_t type, int32_t set);

constexpr uint32_t kUserTypeSize = 16;
extern const uint8_t kProfileUserType[kUserTypeSize];
extern const uint8_t kTagContainerUserType[kUserTypeSize];
extern const uint8_t kFrameBoxUserType[kUserTypeSize];

uint16_t Read16(const uint8_t* bytes);
uint32_t Read32(const uint8_t* bytes);
void Put16(uint16_t value, uint8_t* bytes);
void Put32(uint32_t value, uint8_t* bytes);

}  // namespace mp4

struct CMp4BoxHeader {
    uint32_t size = 0;  // the whole box, header included
    uint32_t type = 0;
    uint8_t userType[mp4::kUserTypeSize] = {};
    uint32_t dataOffset = 0;  // absolute offset of the first byte after the header

    uint32_t HeaderLength() const { return type == mp4::kUuid ? 24 : 8; }
    uint32_t PayloadSize() const { return size - HeaderLength(); }
    uint32_t Start() const { return dataOffset - HeaderLength(); }
    uint32_t End() const { return Start() + size; }
    bool IsUuid(const uint8_t* wanted) const;
    // The type when the parent's set knows it, else 0.
    uint32_t TypeIn(int32_t set) const { return mp4::TypeInSet(type, set); }

    // Reads the header at offset; the box must end by limit (a size of 0 reaches limit). A 64-bit
    // size, a size below the header length or a box passing limit gives -3.
    int32_t Read(CTagStream* stream, uint32_t offset, uint32_t limit);
    int32_t Write(CTagWriteStream* output, uint64_t boxSize) const;
};
