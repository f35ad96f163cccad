#include "library/media/tags/Mp4BoxHeader.h"

#include <cstring>

#include "library/media/tags/TagTypes.h"

namespace mp4 {

const uint8_t kProfileUserType[kUserTypeSize] = {0x50, 0x52, 0x4F, 0x46, 0x21, 0xD2, 0x4F, 0xCE,
                                                 0xBB, 0x88, 0x69, 0x5C, 0xFA, 0xC9, 0xC7, 0x40};
const uint8_t kTagContainerUserType[kUserTypeSize] = {0xBA, 0x91, 0x54, 0x7A, 0xD2, 0x33, 0x47, 0x74,
                                                      0xAC, 0x94, 0x9B, 0x6C, 0x0F, 0x04, 0x59, 0x5C};
const uint8_t kFrameBoxUserType[kUserTypeSize] = {0xA0, 0x5B, 0x10, 0xE2, 0x4E, 0xA6, 0x47, 0x19,
                                                  0x9D, 0x69, 0x08, 0x61, 0xE6, 0x10, 0xFF, 0x2D};

namespace {
const uint32_t kBaseTypes[] = {kFtyp, kMoov, kMdat, kTrak, kMdia, kMinf, kHdlr, kVmhd, kSmhd, kStbl,
                               kStsd, kStco, kUdta, kMeta, kUuid, kDrms, kAlac, kVprf, kAprf};
const uint32_t kId3MetaTypes[] = {kId32};
const uint32_t kItemTypes[] = {kIlst, kCovr, kData, kMean, kName, kFreeform, kTrkn, kGnre,
                               kNam,  kArtUpper, kArtLower, kAlb, kGen, kDay, kWrt};
const uint32_t kAssetTypes[] = {kTitl, kPerf, kAlbm, kGnre, kYrrc};

template <size_t N>
bool Contains(const uint32_t (&types)[N], uint32_t type) {
    for (uint32_t known : types)
        if (known == type) return true;
    return false;
}
}  // namespace

uint32_t TypeInSet(uint32_t type, int32_t set) {
    if (Contains(kBaseTypes, type)) return type;
    switch (set) {
        case kSetId3Meta: return Contains(kId3MetaTypes, type) ? type : 0;
        case kSetItems: return Contains(kItemTypes, type) ? type : 0;
        case kSetAssets: return Contains(kAssetTypes, type) ? type : 0;
        default: return 0;
    }
}

uint16_t Read16(const uint8_t* bytes) { return uint16_t((bytes[0] << 8) | bytes[1]); }
uint32_t Read32(const uint8_t* bytes) {
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | bytes[3];
}
void Put16(uint16_t value, uint8_t* bytes) {
    bytes[0] = uint8_t(value >> 8);
    bytes[1] = uint8_t(value);
}
void Put32(uint32_t value, uint8_t* bytes) {
    bytes[0] = uint8_t(value >> 24);
    bytes[1] = uint8_t(value >> 16);
    bytes[2] = uint8_t(value >> 8);
    bytes[3] = uint8_t(value);
}

}  // namespace mp4

bool CMp4BoxHeader::IsUuid(const uint8_t* wanted) const {
    return type == mp4::kUuid && std::memcmp(userType, wanted, mp4::kUserTypeSize) == 0;
}

int32_t CMp4BoxHeader::Read(CTagStream* stream, uint32_t offset, uint32_t limit) {
    *this = CMp4BoxHeader();
    if (offset > limit || limit - offset < 8) return tag::kMalformed;
    uint8_t bytes[8];
    int32_t result = stream->Seek(offset, kSeekBegin);
    if (result == tag::kOk) result = stream->Read(bytes, sizeof(bytes));
    if (result != tag::kOk) return result;
    size = mp4::Read32(bytes);
    type = mp4::Read32(bytes + 4);
    if (size == 0) size = limit - offset;
    if (type == mp4::kUuid) {
        if (limit - offset < 24) return tag::kMalformed;
        result = stream->Read(userType, sizeof(userType));
        if (result != tag::kOk) return result;
    }
    // Size 1 announces a 64-bit size, which is below every header length and so refused here.
    if (size < HeaderLength() || size > limit - offset) return tag::kMalformed;
    dataOffset = offset + HeaderLength();
    return tag::kOk;
}

int32_t CMp4BoxHeader::Write(CTagWriteStream* output, uint64_t boxSize) const {
    if (boxSize > 0xFFFFFFFFu) return tag::kMalformed;
    uint8_t bytes[24];
    mp4::Put32(uint32_t(boxSize), bytes);
    mp4::Put32(type, bytes + 4);
    std::memcpy(bytes + 8, userType, sizeof(userType));
    return output->Write(bytes, HeaderLength());
}
