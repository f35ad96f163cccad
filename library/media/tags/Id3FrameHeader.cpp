#include "library/media/tags/Id3FrameHeader.h"

#include <cstring>
#include <new>

#include "library/media/tags/Id3TagHeader.h"
#include "library/media/tags/TagTypes.h"

namespace id3 {

namespace {

// Identifiers by kind (index) in the 2.2 and the 2.3/2.4 layouts; padding and unknown have none.
const char* const kShortIds[] = {nullptr, nullptr, "GEO", "PIC", "TAL", "TCO", "TT2", "TP1", "TYE", "TRK", "UFI", "TXX"};
const char* const kLongIds[] = {nullptr, nullptr, "GEOB", "APIC", "TALB", "TCON", "TIT2", "TPE1", "TYER", "TRCK", "UFID", "TXXX"};
constexpr int32_t kNamedKinds = 11;

int32_t KindOf(const char* identifier, int length, int32_t versionCode) {
    static const char kZeros[4] = {0, 0, 0, 0};
    if (std::memcmp(identifier, kZeros, length) == 0) return kFramePadding;
    const char* const* table = length == 3 ? kShortIds : kLongIds;
    for (int32_t kind = kFrameObject; kind < kNamedKinds; ++kind)
        if (std::memcmp(identifier, table[kind], length) == 0) return kind;
    if (versionCode == kVersion23 && std::memcmp(identifier, "TXXX", 4) == 0) return kFrameUserText;
    return kFrameUnknown;
}

}  // namespace

bool IsTextKind(int32_t kind) { return kind >= kFrameAlbum && kind <= kFrameTrack; }

int32_t ItemTypeOfKind(int32_t kind) {
    switch (kind) {
        case kFrameAlbum: return tag::kItemAlbum;
        case kFrameGenre: return tag::kItemGenre;
        case kFrameTitle: return tag::kItemTitle;
        case kFrameArtist: return tag::kItemArtist;
        case kFrameYear: return tag::kItemYear;
        case kFrameTrack: return tag::kItemTrack;
        default: return -1;
    }
}

int32_t KindOfItemType(int32_t itemType) {
    for (int32_t kind = kFrameAlbum; kind <= kFrameTrack; ++kind)
        if (ItemTypeOfKind(kind) == itemType) return kind;
    return -1;
}

}  // namespace id3

namespace {

int32_t ReadHeaderBytes(CTagStream* stream, uint8_t* bytes, uint32_t length, uint32_t* bodyOffset) {
    int32_t result = stream->Read(bytes, length);
    if (result == tag::kOk) result = stream->Tell(bodyOffset);
    return result;
}

class CId3FrameHeader22 : public CId3FrameHeader {
public:
    int32_t Read(CTagStream* stream) override {
        uint8_t bytes[6];
        int32_t result = ReadHeaderBytes(stream, bytes, sizeof(bytes), &bodyOffset);
        if (result != tag::kOk) return result;
        std::memcpy(identifier, bytes, 3);
        bodySize = id3::ReadBigEndian(bytes + 3, 3);
        return tag::kOk;
    }
    int32_t Write(CTagWriteStream* output, uint32_t size) const override {
        if (size > 0xFFFFFF) return tag::kInvalidArgument;
        uint8_t bytes[6];
        std::memcpy(bytes, identifier, 3);
        bytes[3] = uint8_t(size >> 16), bytes[4] = uint8_t(size >> 8), bytes[5] = uint8_t(size);
        return output->Write(bytes, sizeof(bytes));
    }
    int32_t Kind() const override { return id3::KindOf(identifier, 3, id3::kVersion22); }
    uint32_t HeaderSize() const override { return 6; }
};

class CId3FrameHeader23 : public CId3FrameHeader {
public:
    explicit CId3FrameHeader23(int32_t versionCode) : m_versionCode(versionCode) {}
    int32_t Read(CTagStream* stream) override {
        uint8_t bytes[10];
        int32_t result = ReadHeaderBytes(stream, bytes, sizeof(bytes), &bodyOffset);
        if (result != tag::kOk) return result;
        std::memcpy(identifier, bytes, 4);
        bodySize = m_versionCode == id3::kVersion24 ? id3::ReadFrameSize24(bytes + 4) : id3::ReadBigEndian(bytes + 4, 4);
        flags = uint16_t((bytes[8] << 8) | bytes[9]);
        return tag::kOk;
    }
    int32_t Write(CTagWriteStream* output, uint32_t size) const override {
        uint8_t bytes[10];
        std::memcpy(bytes, identifier, 4);
        if (m_versionCode == id3::kVersion24) {
            if (size > 0x0FFFFFFF) return tag::kInvalidArgument;
            id3::WriteSynchsafe(size, bytes + 4);
        } else {
            bytes[4] = uint8_t(size >> 24), bytes[5] = uint8_t(size >> 16);
            bytes[6] = uint8_t(size >> 8), bytes[7] = uint8_t(size);
        }
        bytes[8] = uint8_t(flags >> 8), bytes[9] = uint8_t(flags);
        return output->Write(bytes, sizeof(bytes));
    }
    int32_t Kind() const override { return id3::KindOf(identifier, 4, m_versionCode); }
    uint32_t HeaderSize() const override { return 10; }

private:
    int32_t m_versionCode;
};

}  // namespace

int32_t ReadNextId3Frame(CTagStream* stream, uint32_t end, CId3FrameHeader* header, bool* more) {
    *more = false;
    uint32_t position;
    int32_t result = stream->Tell(&position);
    if (result != tag::kOk) return result;
    if (position >= end || end - position < header->HeaderSize()) return tag::kOk;
    result = header->Read(stream);
    if (result != tag::kOk) return result;
    if (header->Kind() == id3::kFramePadding) return tag::kOk;
    if (header->bodySize > end - header->bodyOffset) return tag::kMalformed;
    *more = true;
    return tag::kOk;
}

CId3FrameHeader* CreateId3FrameHeader(int32_t versionCode) {
    switch (versionCode) {
        case id3::kVersion22: return new (std::nothrow) CId3FrameHeader22();
        case id3::kVersion23:
        case id3::kVersion24: return new (std::nothrow) CId3FrameHeader23(versionCode);
        default: return nullptr;
    }
}

CId3FrameHeader* CreateNewId3FrameHeader(int32_t versionCode, int32_t kind, uint32_t bodySize) {
    if (kind < id3::kFrameObject || kind > id3::kFrameUserText) return nullptr;
    CId3FrameHeader* header = CreateId3FrameHeader(versionCode);
    if (!header) return nullptr;
    const char* id = versionCode == id3::kVersion22 ? id3::kShortIds[kind] : id3::kLongIds[kind];
    std::memcpy(header->identifier, id, versionCode == id3::kVersion22 ? 3 : 4);
    header->bodySize = bodySize;
    return header;
}
