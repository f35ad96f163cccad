#include "library/media/tags/AsfAttribute.h"

#include <cstring>

#include "library/media/tags/AsfObjectHeader.h"
#include "library/media/tags/Id3BodyCursor.h"
#include "library/media/tags/Id3MoodData.h"
#include "library/media/tags/TagTypes.h"

namespace asf {

namespace {

struct KnownAttribute {
    const char* name;
    uint16_t dataType;
    int32_t itemType;  // -1: not a text item
};

// By attribute identifier.
const KnownAttribute kKnown[kAttributeIdCount] = {
    {"", 0, -1},
    {"VEXAL", kTypeBytes, -1},
    {"WM/Picture", kTypeBytes, -1},
    {"WM/AlbumTitle", kTypeUnicode, tag::kItemAlbum},
    {"WM/AlbumArtist", kTypeUnicode, tag::kItemAlbumArtist},
    {"WM/Genre", kTypeUnicode, tag::kItemGenre},
    {"WM/Year", kTypeUnicode, tag::kItemYear},
    {"WM/TrackNumber", kTypeUnicode, tag::kItemTrack},
    {"GN/UniqueFileIdentifier", kTypeUnicode, -1},
};

std::vector<uint8_t> Utf16Le(const char* ascii) {
    std::vector<uint8_t> bytes;
    for (const char* c = ascii;; ++c) {
        bytes.push_back(uint8_t(*c));
        bytes.push_back(0);
        if (!*c) return bytes;
    }
}

// Reads UTF-16LE units up to and including the zero unit; the first units are kept, lower-cased.
int32_t ReadTerminated(CId3BodyCursor& cursor, char* kept, uint32_t keep) {
    uint32_t count = 0;
    for (;;) {
        uint8_t unit[2];
        int32_t result = cursor.Read(unit, 2);
        if (result != tag::kOk) return result;
        const uint16_t value = Read16(unit);
        if (value == 0) {
            if (count < keep) kept[count] = 0;
            return tag::kOk;
        }
        if (count < keep) kept[count] = char(value < 0x80 ? (value >= 'A' && value <= 'Z' ? value + 32 : value) : 0x7F);
        ++count;
    }
}

}  // namespace

int32_t AttributeIdOfName(const uint8_t* name, uint32_t length) {
    if (!name) return kAttributeOther;
    // Compared unit by unit, with the zero unit: every attribute of every file passes here.
    for (int32_t id = 1; id < kAttributeIdCount; ++id) {
        const char* known = kKnown[id].name;
        const uint32_t units = uint32_t(std::strlen(known)) + 1;
        if (length != 2 * units) continue;
        uint32_t at = 0;
        while (at < units && name[2 * at] == uint8_t(known[at]) && name[2 * at + 1] == 0) ++at;
        if (at == units) return id;
    }
    return kAttributeOther;
}

std::vector<uint8_t> AttributeName(int32_t attributeId) {
    return attributeId > 0 && attributeId < kAttributeIdCount ? Utf16Le(kKnown[attributeId].name)
                                                               : std::vector<uint8_t>();
}

uint16_t AttributeDataType(int32_t attributeId) {
    return attributeId > 0 && attributeId < kAttributeIdCount ? kKnown[attributeId].dataType : uint16_t(kTypeBytes);
}

int32_t AttributeIdOfItemType(int32_t itemType) {
    for (int32_t id = 1; id < kAttributeIdCount; ++id)
        if (kKnown[id].itemType == itemType) return id;
    return kAttributeOther;
}

int32_t ItemTypeOfAttributeId(int32_t attributeId) {
    return attributeId > 0 && attributeId < kAttributeIdCount ? kKnown[attributeId].itemType : -1;
}

int32_t TextEncodingOf(const uint8_t* text, uint32_t length) {
    if (length >= 2 && text[0] == 0xFE && text[1] == 0xFF) return tag::kEncodingUtf16BeMarked;
    if (length >= 2 && text[0] == 0xFF && text[1] == 0xFE) return tag::kEncodingUtf16LeMarked;
    return tag::kEncodingUtf16LeNoMark;
}

int32_t ReadPictureValue(CTagStream* stream, uint32_t offset, uint32_t length, PictureValue* picture) {
    CId3BodyCursor cursor(stream, offset, length);
    int32_t result = cursor.Start();
    uint8_t fields[5];
    if (result == tag::kOk) result = cursor.Read(fields, sizeof(fields));
    if (result != tag::kOk) return result;
    char mime[12];
    result = ReadTerminated(cursor, mime, sizeof(mime));
    if (result == tag::kOk) result = ReadTerminated(cursor, nullptr, 0);  // the description
    if (result != tag::kOk) return result;
    picture->pictureType = fields[0];
    picture->imageSize = Read32(fields + 1);
    if (picture->imageSize > cursor.Remaining()) return tag::kMalformed;
    picture->imageOffset = cursor.Position();
    mime[sizeof(mime) - 1] = 0;
    picture->imageFormat = std::strcmp(mime, "image/jpeg") == 0  ? tag::kImageJpeg
                           : std::strcmp(mime, "image/png") == 0 ? tag::kImagePng
                                                                 : tag::kImageOther;
    return tag::kOk;
}

std::vector<uint8_t> PictureValuePrefix(uint8_t pictureType, int32_t imageFormat, uint32_t imageSize) {
    std::vector<uint8_t> prefix(5);
    prefix[0] = pictureType;
    Put32(imageSize, &prefix[1]);
    const char* mime = imageFormat == tag::kImageJpeg ? "image/jpeg" : imageFormat == tag::kImagePng ? "image/png" : "";
    const std::vector<uint8_t> mimeUnits = Utf16Le(mime);
    prefix.insert(prefix.end(), mimeUnits.begin(), mimeUnits.end());
    prefix.insert(prefix.end(), {0, 0});  // empty description
    return prefix;
}

int32_t LocateMoodValue(CTagStream* stream, uint32_t offset, uint32_t length, uint32_t* payloadOffset,
                        uint32_t* payloadSize) {
    uint32_t tail;
    const int32_t result = id3::LocateMoodPayload(stream, offset, length, &tail);
    if (result < 0) return result;
    if (result != tag::kOk) tail = length;
    *payloadOffset = offset + (length - tail);
    *payloadSize = tail;
    return tag::kOk;
}

}  // namespace asf

namespace {

int32_t ReadField(CTagStream* stream, uint32_t* at, uint32_t limit, void* buffer, uint32_t length) {
    if (*at > limit || length > limit - *at) return tag::kMalformed;
    int32_t result = stream->Read(buffer, length);
    if (result == tag::kOk) *at += length;
    return result;
}

int32_t ReadName(CTagStream* stream, uint32_t* at, uint32_t limit, uint32_t nameLength, CAsfAttributeHeader* header) {
    if (*at > limit || nameLength > limit - *at) return tag::kMalformed;
    header->name.assign(nameLength, 0);
    return nameLength ? ReadField(stream, at, limit, header->name.data(), nameLength) : tag::kOk;
}

}  // namespace

int32_t CAsfContentDescriptor::Read(CTagStream* stream, uint32_t offset, uint32_t limit) {
    if (!stream) return tag::kInvalidArgument;
    uint32_t at = offset;
    uint8_t fields[4];
    int32_t result = stream->Seek(offset, kSeekBegin);
    if (result == tag::kOk) result = ReadField(stream, &at, limit, fields, 2);
    if (result == tag::kOk) result = ReadName(stream, &at, limit, asf::Read16(fields), this);
    if (result == tag::kOk) result = ReadField(stream, &at, limit, fields, 4);
    if (result != tag::kOk) return result;
    dataType = asf::Read16(fields);
    valueLength = asf::Read16(fields + 2);
    valueOffset = at;
    return valueLength <= limit - at ? tag::kOk : tag::kMalformed;
}

int32_t CAsfContentDescriptor::Write(CTagWriteStream* output) const {
    if (!output) return tag::kInvalidArgument;
    if (name.size() > 0xFFFF || valueLength > 0xFFFF) return tag::kInvalidArgument;
    uint8_t fields[4];
    asf::Put16(uint16_t(name.size()), fields);
    int32_t result = output->Write(fields, 2);
    if (result == tag::kOk && !name.empty()) result = output->Write(name.data(), uint32_t(name.size()));
    asf::Put16(dataType, fields);
    asf::Put16(uint16_t(valueLength), fields + 2);
    return result == tag::kOk ? output->Write(fields, 4) : result;
}

int32_t CAsfDescriptionRecord::Read(CTagStream* stream, uint32_t offset, uint32_t limit) {
    if (!stream) return tag::kInvalidArgument;
    uint32_t at = offset;
    uint8_t fields[12];
    int32_t result = stream->Seek(offset, kSeekBegin);
    if (result == tag::kOk) result = ReadField(stream, &at, limit, fields, sizeof(fields));
    if (result != tag::kOk) return result;
    languageIndex = asf::Read16(fields);
    streamNumber = asf::Read16(fields + 2);
    dataType = asf::Read16(fields + 6);
    valueLength = asf::Read32(fields + 8);
    result = ReadName(stream, &at, limit, asf::Read16(fields + 4), this);
    if (result != tag::kOk) return result;
    valueOffset = at;
    return valueLength <= limit - at ? tag::kOk : tag::kMalformed;
}

int32_t CAsfDescriptionRecord::Write(CTagWriteStream* output) const {
    if (!output) return tag::kInvalidArgument;
    if (name.size() > 0xFFFF) return tag::kInvalidArgument;
    uint8_t fields[12];
    asf::Put16(languageIndex, fields);
    asf::Put16(streamNumber, fields + 2);
    asf::Put16(uint16_t(name.size()), fields + 4);
    asf::Put16(dataType, fields + 6);
    asf::Put32(valueLength, fields + 8);
    int32_t result = output->Write(fields, sizeof(fields));
    return result == tag::kOk && !name.empty() ? output->Write(name.data(), uint32_t(name.size())) : result;
}
