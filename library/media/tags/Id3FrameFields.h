// Field parsing of the frames the library reports: text, picture and unique file identifier.
#pragma once

#include <cstdint>

#include "library/media/tags/Id3FrameHeader.h"
#include "library/media/tags/TagStream.h"

namespace id3 {

// The owner identifiers of the CD-lookup service in "UFID" frames: the first is also the one written.
constexpr char kLookupOwner[] = "http://lookup.quillbay.example/ufid/2";
constexpr char kLookupOwnerOld[] = "http://lookup.quillbay.example/ufid";

// Width in bytes of one character of a string in the ID3 text encoding given by its byte.
int CharacterWidth(uint8_t encodingByte);

struct TextField {
    int32_t encoding;    // the library's text encoding
    uint32_t offset;     // the data after the encoding byte, a byte-order mark included
    uint32_t size;
};
int32_t ParseTextField(CTagStream* stream, const CId3FrameHeader& header, TextField* field);

struct PictureField {
    uint32_t offset;
    uint32_t size;
    uint8_t pictureType;
    int32_t imageFormat;
};
int32_t ParsePictureField(CTagStream* stream, const CId3FrameHeader& header, int32_t versionCode,
                          PictureField* field);

// 0 with the identifier's place when the owner is the lookup service, 1 for another owner.
int32_t LocateLookupId(CTagStream* stream, const CId3FrameHeader& header, uint32_t* offset, uint32_t* size);

// Frames whose body is compressed or encrypted hand out bytes that are not the field values.
bool HasTransformedBody(const CId3FrameHeader& header, int32_t versionCode);

}  // namespace id3
