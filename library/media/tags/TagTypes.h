// Result codes, item types, text encodings and picture kinds shared by every tag format.
#pragma once

#include <cstdint>

namespace tag {

// Every operation returns one of these; a parse may also return a positive handler result.
enum Result : int32_t {
    kOk = 0,
    kNotReady = -1,
    kInvalidArgument = -2,
    kMalformed = -3,
    kOutOfMemory = -4,
    kNotFound = -5,
    kOpenFailed = -6,
    kShortRead = -8,
    kShortWrite = -9,
    kSeekFailed = -10,
    kNoCounterpart = -11,
};

// A query handler returns this to end the parse once it has what it wants.
constexpr int32_t kHandlerStop = 2;

enum ItemType : int32_t {
    kItemArtist = 0,
    kItemTitle = 1,
    kItemGenre = 2,
    kItemAlbum = 3,
    kItemAlbumArtist = 4,
    kItemOther = 5,
    kItemYear = 6,
    kItemTrack = 7,
    kItemTypeCount = 8,
};

enum TextEncoding : int32_t {
    kEncodingUndefined = -1,
    kEncodingAnsi = 0,
    kEncodingUtf8 = 1,
    kEncodingUtf16BeNoMark = 2,
    kEncodingUtf16BeMarked = 3,
    kEncodingUtf16LeNoMark = 4,
    kEncodingUtf16LeMarked = 5,
};

constexpr uint8_t kPictureFrontCover = 3;
constexpr uint8_t kPictureLyrics = 128;
constexpr uint8_t kPictureThumbnail = 129;
// In queries that filter by picture type: every type.
constexpr uint8_t kPictureAnyType = 255;

enum ImageFormat : int32_t {
    kImageJpeg = 0,
    kImagePng = 1,
    kImageOther = 255,
};

}  // namespace tag
