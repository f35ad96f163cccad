#include "library/media/tags/Id3IndexedKinds.h"

#include <cstring>
#include <new>

#include "library/media/tags/Id3FrameHeader.h"
#include "library/media/tags/Id3NewFrame.h"
#include "library/media/tags/Id3TagHeader.h"
#include "library/media/tags/TagTypes.h"

namespace id3 {

namespace {

struct Code {
    const char* text;
    int32_t kind;
};

const Code kPictureCodes[] = {{"FAECA", tag::kPictureFrontCover}, {"LYRIC", tag::kPictureLyrics},
                              {"FTHBL", tag::kPictureThumbnail}};
const Code kTextCodes[] = {{"E_FPRCA", 1}, {"E_FCRCA", 2}, {"E_FPRLR", 3},
                           {"E_FCRLR", 4}, {"E_FPRTH", 5}, {"E_FCRTH", 6}};
// An index has at most this many digits, so it fits 32 bits.
constexpr uint32_t kMaxDigits = 9;
static_assert(kMaxIndex == 999999999, "kMaxIndex has kMaxDigits digits");

template <size_t N>
int32_t Parse(const Code (&codes)[N], size_t codeLength, uint8_t encodingByte, const uint8_t* bytes, uint32_t length,
              IndexedDescription* description) {
    if (!bytes || !description) return tag::kInvalidArgument;
    const bool wide = encodingByte == 1;
    if (!wide && encodingByte != 0) return tag::kMalformed;
    uint32_t at = 0;
    bool bigEndian = true;
    if (wide) {
        if (length < 2) return tag::kMalformed;
        if (bytes[0] == 0xFE && bytes[1] == 0xFF) {
            bigEndian = true;
        } else if (bytes[0] == 0xFF && bytes[1] == 0xFE) {
            bigEndian = false;
        } else {
            return tag::kMalformed;
        }
        at = 2;
    }
    const uint32_t width = wide ? 2 : 1;
    // Reads one character; false when the bytes end or it lies outside single-byte text.
    auto next = [&](char* c) {
        if (length - at < width) return false;
        const uint8_t* unit = bytes + at;
        at += width;
        if (!wide) return *c = char(unit[0]), true;
        uint8_t high = bigEndian ? unit[0] : unit[1], low = bigEndian ? unit[1] : unit[0];
        if (high != 0) return false;
        *c = char(low);
        return true;
    };
    char code[8] = {};
    for (size_t i = 0; i < codeLength; ++i)
        if (!next(&code[i])) return tag::kMalformed;
    const Code* match = nullptr;
    for (const Code& candidate : codes)
        if (std::memcmp(candidate.text, code, codeLength) == 0) match = &candidate;
    if (!match) return tag::kMalformed;
    const uint32_t codeEnd = at;
    uint32_t index = 0, digits = 0;
    for (;;) {
        char c;
        if (!next(&c)) return tag::kMalformed;
        if (c == 0) break;
        if (c < '0' || c > '9' || ++digits > kMaxDigits) return tag::kMalformed;
        index = index * 10 + uint32_t(c - '0');
    }
    description->kind = match->kind;
    description->index = index;
    description->length = at;
    description->codeEnd = codeEnd;
    return tag::kOk;
}

template <size_t N>
std::string Describe(const Code (&codes)[N], int32_t kind, uint32_t index) {
    for (const Code& code : codes) {
        if (code.kind != kind) continue;
        std::string text = "\xFE\xFF";
        auto unit = [&](char c) { text += '\0', text += c; };
        for (const char* c = code.text; *c; ++c) unit(*c);
        if (index) {
            const std::string digits = std::to_string(index);
            for (char c : digits) unit(c);
        }
        unit('\0');
        return text;
    }
    return std::string();
}

}  // namespace

int32_t ParsePictureDescription(uint8_t encodingByte, const uint8_t* bytes, uint32_t length,
                                IndexedDescription* description) {
    return Parse(kPictureCodes, 5, encodingByte, bytes, length, description);
}

int32_t ParseTextDescription(uint8_t encodingByte, const uint8_t* bytes, uint32_t length,
                             IndexedDescription* description) {
    return Parse(kTextCodes, 7, encodingByte, bytes, length, description);
}

std::string PictureDescription(int32_t kind, uint32_t index) { return Describe(kPictureCodes, kind, index); }

std::string TextDescription(int32_t kind, uint32_t index) { return Describe(kTextCodes, kind, index); }

uint8_t PictureTypeByteOf(int32_t kind) { return kind == tag::kPictureFrontCover ? tag::kPictureFrontCover : 0; }

std::string IndexedPictureFields(int32_t kind, uint32_t index, int32_t imageFormat) {
    const std::string description = PictureDescription(kind, index);
    if (description.empty()) return std::string();
    std::string fields(1, '\1');
    fields += imageFormat == tag::kImagePng ? "image/png" : "image/jpeg";
    fields += '\0';
    fields += char(PictureTypeByteOf(kind));
    return fields + description;
}

int32_t PictureKindOfTextKind(int32_t textKind) {
    switch (textKind) {
        case 1:
        case 2: return tag::kPictureFrontCover;
        case 3:
        case 4: return tag::kPictureLyrics;
        case 5:
        case 6: return tag::kPictureThumbnail;
        default: return -1;
    }
}

std::string WithIndex(uint8_t encodingByte, const uint8_t* bytes, const IndexedDescription& description,
                      uint32_t index) {
    const bool wide = encodingByte == 1;
    const bool littleEndian = wide && bytes[0] == 0xFF;
    std::string text(reinterpret_cast<const char*>(bytes), description.codeEnd);
    auto unit = [&](char c) {
        if (!wide) text += c;
        else if (littleEndian) text += c, text += '\0';
        else text += '\0', text += c;
    };
    if (index) {
        const std::string digits = std::to_string(index);
        for (char c : digits) unit(c);
    }
    unit('\0');
    return text;
}

}  // namespace id3

CId3Frame* CreateId3NewIndexedPictureFrame(int32_t versionCode, int32_t kind, uint32_t index, int32_t imageFormat,
                                           CTagOwnedPtr<CTagStream> data, uint32_t size, uint32_t offset) {
    std::string fields = id3::IndexedPictureFields(kind, index, imageFormat);
    if (fields.empty() || versionCode == id3::kVersion22) return nullptr;
    if (size > UINT32_MAX - fields.size()) return nullptr;
    CTagOwnedPtr<CId3FrameHeader> header(
        CreateNewId3FrameHeader(versionCode, id3::kFramePicture, uint32_t(fields.size()) + size), true);
    if (!header) return nullptr;
    return new (std::nothrow) CId3NewFrame(std::move(header), std::move(fields), std::move(data), size, offset);
}

CId3Frame* CreateId3NewIndexedTextFrame(int32_t versionCode, int32_t kind, uint32_t index,
                                        CTagOwnedPtr<CTagStream> data, uint32_t size, uint32_t offset) {
    const std::string description = id3::TextDescription(kind, index);
    if (description.empty() || versionCode == id3::kVersion22) return nullptr;
    std::string fields = "\1" + description;
    if (size > UINT32_MAX - fields.size()) return nullptr;
    CTagOwnedPtr<CId3FrameHeader> header(
        CreateNewId3FrameHeader(versionCode, id3::kFrameUserText, uint32_t(fields.size()) + size), true);
    if (!header) return nullptr;
    return new (std::nothrow) CId3NewFrame(std::move(header), std::move(fields), std::move(data), size, offset);
}
