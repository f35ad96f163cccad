// ASF attributes: the fields in front of each value of the extended content description (content
// descriptors) and of the metadata library (description records), the attributes we know by
// name, and the reading of their values.
#pragma once

#include <cstdint>
#include <vector>

#include "library/media/tags/TagStream.h"

namespace asf {

// The attributes we understand; every other name is kAttributeOther.
enum AttributeId : int32_t {
    kAttributeOther = 0,
    kAttributeMood = 1,
    kAttributePicture = 2,
    kAttributeAlbum = 3,
    kAttributeAlbumArtist = 4,
    kAttributeGenre = 5,
    kAttributeYear = 6,
    kAttributeTrack = 7,
    kAttributeLookupId = 8,
    kAttributeIdCount = 9,
};

enum DataType : uint16_t {
    kTypeUnicode = 0,
    kTypeBytes = 1,
    kTypeBool = 2,
    kTypeDword = 3,
};

// A name matches only as UTF-16LE of exactly its length, the terminating zero unit included.
int32_t AttributeIdOfName(const uint8_t* name, uint32_t length);
// The name bytes (with the terminating zero unit) and the data type an attribute is created with.
std::vector<uint8_t> AttributeName(int32_t attributeId);
uint16_t AttributeDataType(int32_t attributeId);
// The attribute that holds a text item type in the extended content description; 0 for none
// (artist and title live in the content description, item type 5 nowhere).
int32_t AttributeIdOfItemType(int32_t itemType);
int32_t ItemTypeOfAttributeId(int32_t attributeId);

// 3 for text that opens with FE FF, 5 for FF FE, else 4 (the format's UTF-16LE).
int32_t TextEncodingOf(const uint8_t* text, uint32_t length);

struct PictureValue {
    uint8_t pictureType = 0;
    int32_t imageFormat = 0;
    uint32_t imageOffset = 0;
    uint32_t imageSize = 0;
};
// Reads a "WM/Picture" value lying at offset; -3 when it does not fit its length. The stream
// position is restored.
int32_t ReadPictureValue(CTagStream* stream, uint32_t offset, uint32_t length, PictureValue* picture);
// What a picture value we write holds in front of the image: type, image length, MIME type for
// the format ("image/jpeg", "image/png", empty otherwise) and an empty description.
std::vector<uint8_t> PictureValuePrefix(uint8_t pictureType, int32_t imageFormat, uint32_t imageSize);
// The mood payload of a "VEXAL" value: behind the mood-data object's head when the value opens
// with one, else the whole value.
int32_t LocateMoodValue(CTagStream* stream, uint32_t offset, uint32_t length, uint32_t* payloadOffset,
                        uint32_t* payloadSize);

}  // namespace asf

// The fields of one attribute in front of its value, as read from a file or made for a new one.
class CAsfAttributeHeader {
public:
    virtual ~CAsfAttributeHeader() = default;
    // Reads the attribute at offset; the attribute with its value must end by limit (-3).
    virtual int32_t Read(CTagStream* stream, uint32_t offset, uint32_t limit) = 0;
    virtual int32_t Write(CTagWriteStream* output) const = 0;
    // The fixed fields' bytes, without the name.
    virtual uint32_t FixedSize() const = 0;
    // The largest value the length field can hold.
    virtual uint32_t MaxValueLength() const = 0;

    uint64_t Size() const { return uint64_t(FixedSize()) + name.size() + valueLength; }
    uint32_t End() const { return valueOffset + valueLength; }
    int32_t Id() const { return asf::AttributeIdOfName(name.data(), uint32_t(name.size())); }

    std::vector<uint8_t> name;  // UTF-16LE with its terminating zero unit, as stored
    uint16_t dataType = 0;
    uint16_t languageIndex = 0;
    uint16_t streamNumber = 0;
    uint32_t valueLength = 0;
    uint32_t valueOffset = 0;  // in the source file, for a loaded attribute
};

// An entry of the extended content description: name length, name, data type, value length (16 bits).
class CAsfContentDescriptor : public CAsfAttributeHeader {
public:
    int32_t Read(CTagStream* stream, uint32_t offset, uint32_t limit) override;
    int32_t Write(CTagWriteStream* output) const override;
    uint32_t FixedSize() const override { return 6; }
    uint32_t MaxValueLength() const override { return 0xFFFF; }
};

// A record of the metadata library: language index, stream number, name length, data type,
// data length (32 bits), name, data.
class CAsfDescriptionRecord : public CAsfAttributeHeader {
public:
    int32_t Read(CTagStream* stream, uint32_t offset, uint32_t limit) override;
    int32_t Write(CTagWriteStream* output) const override;
    uint32_t FixedSize() const override { return 12; }
    uint32_t MaxValueLength() const override { return 0xFFFFFFFFu; }
};
