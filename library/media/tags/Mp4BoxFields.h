// Fields of MP4 boxes that the reader and the editor both interpret.
#pragma once

#include <cstdint>
#include <vector>

#include "library/media/tags/Id3FrameFields.h"
#include "library/media/tags/Id3FrameHeader.h"
#include "library/media/tags/Id3IndexedKinds.h"
#include "library/media/tags/Mp4BoxHeader.h"
#include "library/media/tags/TagStream.h"

namespace mp4 {

// Where the children of a "meta" box start. It is a full box, but some writers leave out the four
// version and flag bytes; a "hdlr" header right at the start of the payload tells those apart.
int32_t MetaChildrenOffset(CTagStream* stream, const CMp4BoxHeader& meta, uint32_t* skip);

// Whether a "----" item's "name" box names the lookup identifier: its string, compared over its
// own length, is a start of "UFID" and the lookup owner, or of "gnid".
int32_t IsLookupIdName(CTagStream* stream, const CMp4BoxHeader& name, bool* isLookupId);
// The name string compared the same way, as held in memory.
bool IsLookupIdName(const uint8_t* name, uint32_t length);

// The text of a 3GP asset box (after its language), up to its terminator; "albm" may carry a
// track byte right after the terminator.
struct AssetText {
    int32_t encoding;  // 3 or 5 for UTF-16 with a mark, else 1
    uint32_t length;   // the text without its terminator
    bool hasTrack;
    uint8_t track;
};
// bytes holds count bytes of a text that is textSize bytes long in the file.
AssetText SplitAssetText(const uint8_t* bytes, uint32_t count, uint32_t textSize);

// The payload of a frame box: frame size, 16-bit frame kind, the ID3v2 frame body.
struct FrameBoxFields {
    uint32_t bodySize;
    int32_t kind;
    uint32_t bodyOffset;
};
constexpr uint32_t kFrameBoxFieldsSize = 6;
int32_t ReadFrameBoxFields(CTagStream* stream, const CMp4BoxHeader& frameBox, FrameBoxFields* fields);

// An attached-picture body whose kind and index come from its description code.
int32_t ReadIndexedPicture(CTagStream* stream, const CId3FrameHeader& frame, id3::PictureField* picture,
                           int32_t* kind, uint32_t* index);

// The description of a frame that belongs to a numbered picture: an attached picture, or a user
// text frame whose code names a picture kind.
struct NumberedDescription {
    int32_t pictureKind;
    uint8_t encodingByte;
    uint32_t offset;                   // absolute offset of the description
    std::vector<uint8_t> bytes;        // the description as stored, its terminator included
    id3::IndexedDescription parsed;    // index is the picture number
};
// -5 for a frame of another kind or a user text frame with another description; an attached
// picture without a known code gives -3.
int32_t ReadNumberedDescription(CTagStream* stream, int32_t frameKind, const CId3FrameHeader& frame,
                                NumberedDescription* description);

}  // namespace mp4
