#include "library/media/tags/Id3FrameFields.h"

#include <cstring>

#include "library/media/tags/Id3BodyCursor.h"
#include "library/media/tags/Id3TagHeader.h"
#include "library/media/tags/TagTypes.h"

namespace id3 {

int CharacterWidth(uint8_t encodingByte) { return encodingByte == 1 || encodingByte == 2 ? 2 : 1; }

int32_t ParseTextField(CTagStream* stream, const CId3FrameHeader& header, TextField* field) {
    CId3BodyCursor cursor(stream, header.bodyOffset, header.bodySize);
    int32_t result = cursor.Start();
    uint8_t encodingByte;
    if (result == tag::kOk) result = cursor.Read(&encodingByte, 1);
    if (result != tag::kOk) return result;
    field->offset = cursor.Position();
    field->size = cursor.Remaining();
    switch (encodingByte) {
        case 0: field->encoding = tag::kEncodingAnsi; break;
        case 3: field->encoding = tag::kEncodingUtf8; break;
        case 2: field->encoding = tag::kEncodingUtf16BeNoMark; break;
        case 1: {
            field->encoding = tag::kEncodingUtf16BeNoMark;
            uint8_t mark[2];
            if (cursor.Remaining() >= 2 && cursor.Read(mark, 2) == tag::kOk) {
                if (mark[0] == 0xFE && mark[1] == 0xFF) field->encoding = tag::kEncodingUtf16BeMarked;
                if (mark[0] == 0xFF && mark[1] == 0xFE) field->encoding = tag::kEncodingUtf16LeMarked;
            }
            break;
        }
        default: field->encoding = tag::kEncodingUndefined; break;
    }
    return tag::kOk;
}

int32_t ParsePictureField(CTagStream* stream, const CId3FrameHeader& header, int32_t versionCode,
                          PictureField* field) {
    CId3BodyCursor cursor(stream, header.bodyOffset, header.bodySize);
    int32_t result = cursor.Start();
    uint8_t encodingByte;
    if (result == tag::kOk) result = cursor.Read(&encodingByte, 1);
    if (result != tag::kOk) return result;
    field->imageFormat = tag::kImageOther;
    if (versionCode == kVersion22) {
        char format[3];
        result = cursor.Read(format, 3);
        if (result != tag::kOk) return result;
        if (std::memcmp(format, "JPG", 3) == 0) field->imageFormat = tag::kImageJpeg;
        if (std::memcmp(format, "PNG", 3) == 0) field->imageFormat = tag::kImagePng;
    } else {
        char mime[32];
        size_t length = 0;
        for (;; ++length) {
            if (length == sizeof(mime)) return tag::kMalformed;
            result = cursor.Read(&mime[length], 1);
            if (result != tag::kOk) return result;
            if (mime[length] == 0) break;
        }
        if (std::strcmp(mime, "image/jpeg") == 0) field->imageFormat = tag::kImageJpeg;
        if (std::strcmp(mime, "image/png") == 0) field->imageFormat = tag::kImagePng;
    }
    result = cursor.Read(&field->pictureType, 1);
    if (result == tag::kOk) result = cursor.SkipString(CharacterWidth(encodingByte));
    if (result != tag::kOk) return result;
    field->offset = cursor.Position();
    field->size = cursor.Remaining();
    return tag::kOk;
}

int32_t LocateLookupId(CTagStream* stream, const CId3FrameHeader& header, uint32_t* offset, uint32_t* size) {
    constexpr uint32_t kOwnerLimit = 1024;
    CId3BodyCursor cursor(stream, header.bodyOffset, header.bodySize);
    int32_t result = cursor.Start();
    if (result != tag::kOk) return result;
    char owner[kOwnerLimit];
    for (uint32_t length = 0;; ++length) {
        if (length == kOwnerLimit) return tag::kMalformed;
        result = cursor.Read(&owner[length], 1);
        if (result != tag::kOk) return result;
        if (owner[length] == 0) break;
    }
    if (std::strcmp(owner, kLookupOwner) != 0 && std::strcmp(owner, kLookupOwnerOld) != 0) return 1;
    *offset = cursor.Position();
    *size = cursor.Remaining();
    return tag::kOk;
}

bool HasTransformedBody(const CId3FrameHeader& header, int32_t versionCode) {
    if (versionCode == kVersion23) return (header.flags & 0x00C0) != 0;  // compression, encryption
    if (versionCode == kVersion24) return (header.flags & 0x000C) != 0;  // compression, encryption
    return false;
}

}  // namespace id3
