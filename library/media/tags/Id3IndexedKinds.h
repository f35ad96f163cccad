// Maker-defined kinds that travel in ordinary ID3v2 frames: pictures whose description starts with
// a five-character code ("FAECA", "LYRIC", "FTHBL") and user-text frames whose description is a
// seven-character code ("E_FPRCA" ...), each followed by a decimal index.
#pragma once

#include <cstdint>
#include <string>

#include "library/media/tags/Id3Frame.h"
#include "library/media/tags/TagOwnedPtr.h"

namespace id3 {

struct IndexedDescription {
    int32_t kind;        // picture kind (3, 128, 129) or text kind (1 to 6)
    uint32_t index;
    uint32_t length;     // bytes of the description, its terminator included
    uint32_t codeEnd;    // bytes of the byte-order mark and the code, where the digits start
};

// The largest index a description can carry (nine digits).
constexpr uint32_t kMaxIndex = 999999999;

// Reads a description at the start of bytes, as it stands after the frame's encoding byte (and,
// for pictures, after the MIME type and the picture-type byte). -3 for any other description.
int32_t ParsePictureDescription(uint8_t encodingByte, const uint8_t* bytes, uint32_t length,
                                IndexedDescription* description);
int32_t ParseTextDescription(uint8_t encodingByte, const uint8_t* bytes, uint32_t length,
                             IndexedDescription* description);

// The description as written: UTF-16 big-endian with its mark, the code, the index digits (none
// for index 0) and a zero unit. Empty for a kind without a code.
std::string PictureDescription(int32_t kind, uint32_t index);
std::string TextDescription(int32_t kind, uint32_t index);
// The picture-type byte written for a picture kind: 3 for the front cover, 0 for the others.
uint8_t PictureTypeByteOf(int32_t kind);
// An indexed picture frame's body in front of its image: encoding byte 1, the MIME type of the
// image format, the picture-type byte and the description. Empty for a kind without a code.
std::string IndexedPictureFields(int32_t kind, uint32_t index, int32_t imageFormat);
// The picture kind a text kind belongs to (1, 2: 3; 3, 4: 128; 5, 6: 129), -1 for others.
int32_t PictureKindOfTextKind(int32_t textKind);
// A parsed description (bytes as read) with another index: the mark and code as they stood, the
// digits in the description's own character width and byte order, then its terminator.
std::string WithIndex(uint8_t encodingByte, const uint8_t* bytes, const IndexedDescription& description,
                      uint32_t index);

}  // namespace id3

// New frames of these kinds (encoding byte 1); null for an unknown kind, a version code of 0 or
// when memory runs out.
CId3Frame* CreateId3NewIndexedPictureFrame(int32_t versionCode, int32_t kind, uint32_t index, int32_t imageFormat,
                                           CTagOwnedPtr<CTagStream> data, uint32_t size, uint32_t offset);
CId3Frame* CreateId3NewIndexedTextFrame(int32_t versionCode, int32_t kind, uint32_t index,
                                        CTagOwnedPtr<CTagStream> data, uint32_t size, uint32_t offset);
