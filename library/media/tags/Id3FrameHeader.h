// The header of one ID3v2 frame in its three layouts (2.2, 2.3, 2.4).
#pragma once

#include <cstdint>

#include "library/media/tags/TagStream.h"

namespace id3 {

// What a frame is to the library; the values match across the three layouts.
enum FrameKind : int32_t {
    kFrameUnknown = 0,
    kFramePadding = 1,
    kFrameObject = 2,
    kFramePicture = 3,
    kFrameAlbum = 4,
    kFrameGenre = 5,
    kFrameTitle = 6,
    kFrameArtist = 7,
    kFrameYear = 8,
    kFrameTrack = 9,
    kFrameUniqueId = 10,
    kFrameUserText = 11,
};

bool IsTextKind(int32_t kind);
// The item type of a text frame kind, and the frame kind of an item type (-1 when there is none).
int32_t ItemTypeOfKind(int32_t kind);
int32_t KindOfItemType(int32_t itemType);

}  // namespace id3

class CId3FrameHeader {
public:
    virtual ~CId3FrameHeader() = default;
    virtual int32_t Read(CTagStream* stream) = 0;
    virtual int32_t Write(CTagWriteStream* output, uint32_t bodySize) const = 0;
    virtual int32_t Kind() const = 0;
    virtual uint32_t HeaderSize() const = 0;

    char identifier[4] = {0, 0, 0, 0};
    uint16_t flags = 0;
    uint32_t bodySize = 0;
    uint32_t bodyOffset = 0;
};

// Reads the frame header at the stream's position when a frame starts there before end. *more is
// false at the end of the frames: padding, or fewer bytes left than a header takes. A frame whose
// body runs past end gives -3.
int32_t ReadNextId3Frame(CTagStream* stream, uint32_t end, CId3FrameHeader* header, bool* more);

// Null for version code 0 or when memory runs out.
CId3FrameHeader* CreateId3FrameHeader(int32_t versionCode);
// A header for a frame the editor adds: identifier of the kind in that layout, flags 0.
CId3FrameHeader* CreateNewId3FrameHeader(int32_t versionCode, int32_t kind, uint32_t bodySize);
