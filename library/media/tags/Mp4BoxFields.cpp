#include "library/media/tags/Mp4BoxFields.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "library/media/tags/Id3IndexedKinds.h"
#include "library/media/tags/Id3TagHeader.h"
#include "library/media/tags/TagTypes.h"

namespace mp4 {

namespace {
// The longest description in front of an image that we look at.
constexpr uint32_t kPictureFieldsLimit = 2048;
}  // namespace

int32_t MetaChildrenOffset(CTagStream* stream, const CMp4BoxHeader& meta, uint32_t* skip) {
    *skip = 4;
    if (meta.PayloadSize() < 8) return meta.PayloadSize() < 4 ? tag::kMalformed : tag::kOk;
    uint8_t bytes[8];
    int32_t result = stream->Seek(meta.dataOffset, kSeekBegin);
    if (result == tag::kOk) result = stream->Read(bytes, sizeof(bytes));
    if (result != tag::kOk) return result;
    if (Read32(bytes + 4) == kHdlr && Read32(bytes) >= 8) *skip = 0;
    return tag::kOk;
}

bool IsLookupIdName(const uint8_t* name, uint32_t length) {
    const std::string owner = std::string("UFID") + id3::kLookupOwner;
    const char* const candidates[] = {owner.c_str(), "gnid"};
    for (const char* candidate : candidates)
        if (length <= std::strlen(candidate) && std::memcmp(name, candidate, length) == 0) return true;
    return false;
}

int32_t IsLookupIdName(CTagStream* stream, const CMp4BoxHeader& name, bool* isLookupId) {
    *isLookupId = false;
    if (name.PayloadSize() < 4) return tag::kMalformed;
    const uint32_t length = name.PayloadSize() - 4;
    uint8_t bytes[64];
    if (length > sizeof(bytes)) return tag::kOk;
    int32_t result = stream->Seek(name.dataOffset + 4, kSeekBegin);
    if (result == tag::kOk) result = stream->Read(bytes, length);
    if (result != tag::kOk) return result;
    *isLookupId = IsLookupIdName(bytes, length);
    return tag::kOk;
}

AssetText SplitAssetText(const uint8_t* bytes, uint32_t count, uint32_t textSize) {
    AssetText text{tag::kEncodingUtf8, count, false, 0};
    uint32_t width = 1;
    if (count >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) text.encoding = tag::kEncodingUtf16BeMarked, width = 2;
    if (count >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) text.encoding = tag::kEncodingUtf16LeMarked, width = 2;
    for (uint32_t at = 0; at + width <= count; at += width) {
        if (bytes[at] != 0 || (width == 2 && bytes[at + 1] != 0)) continue;
        text.length = at;
        // A track number is the single byte after the terminator.
        if (textSize - (at + width) == 1 && at + width < count) {
            text.hasTrack = true;
            text.track = bytes[at + width];
        }
        break;
    }
    return text;
}

int32_t ReadFrameBoxFields(CTagStream* stream, const CMp4BoxHeader& frameBox, FrameBoxFields* fields) {
    if (frameBox.PayloadSize() < kFrameBoxFieldsSize) return tag::kMalformed;
    uint8_t bytes[kFrameBoxFieldsSize];
    int32_t result = stream->Seek(frameBox.dataOffset, kSeekBegin);
    if (result == tag::kOk) result = stream->Read(bytes, sizeof(bytes));
    if (result != tag::kOk) return result;
    fields->bodySize = Read32(bytes);
    fields->kind = Read16(bytes + 4);
    fields->bodyOffset = frameBox.dataOffset + kFrameBoxFieldsSize;
    if (fields->bodySize > frameBox.PayloadSize() - kFrameBoxFieldsSize) return tag::kMalformed;
    return tag::kOk;
}

namespace {

// The fields in front of an attached picture's image, and where its description starts in them.
int32_t ReadPictureFields(CTagStream* stream, const CId3FrameHeader& frame, id3::PictureField* picture,
                          std::vector<uint8_t>* fields, uint32_t* descriptionStart) {
    int32_t result = id3::ParsePictureField(stream, frame, id3::kVersion24, picture);
    if (result != tag::kOk) return result;
    const uint32_t fieldsSize = picture->offset - frame.bodyOffset;
    if (fieldsSize > kPictureFieldsLimit) return tag::kMalformed;
    fields->assign(fieldsSize, 0);
    result = stream->Seek(frame.bodyOffset, kSeekBegin);
    if (result == tag::kOk) result = stream->Read(fields->data(), fieldsSize);
    if (result != tag::kOk) return result;
    // Encoding byte, MIME type and its terminator, picture-type byte, then the description.
    const auto mimeEnd = std::find(fields->begin() + 1, fields->end(), uint8_t(0));
    *descriptionStart = uint32_t(mimeEnd - fields->begin()) + 2;
    return *descriptionStart > fieldsSize ? tag::kMalformed : tag::kOk;
}

}  // namespace

int32_t ReadIndexedPicture(CTagStream* stream, const CId3FrameHeader& frame, id3::PictureField* picture,
                           int32_t* kind, uint32_t* index) {
    std::vector<uint8_t> fields;
    uint32_t start;
    int32_t result = ReadPictureFields(stream, frame, picture, &fields, &start);
    if (result != tag::kOk) return result;
    id3::IndexedDescription description;
    result = id3::ParsePictureDescription(fields[0], fields.data() + start, uint32_t(fields.size()) - start,
                                          &description);
    if (result != tag::kOk) return result;
    *kind = description.kind;
    if (index) *index = description.index;
    return tag::kOk;
}

int32_t ReadNumberedDescription(CTagStream* stream, int32_t frameKind, const CId3FrameHeader& frame,
                                NumberedDescription* description) {
    if (frameKind == id3::kFramePicture) {
        id3::PictureField picture;
        std::vector<uint8_t> fields;
        uint32_t start;
        int32_t result = ReadPictureFields(stream, frame, &picture, &fields, &start);
        if (result != tag::kOk) return result;
        result = id3::ParsePictureDescription(fields[0], fields.data() + start, uint32_t(fields.size()) - start,
                                              &description->parsed);
        if (result != tag::kOk) return result;
        description->pictureKind = description->parsed.kind;
        description->encodingByte = fields[0];
        description->offset = frame.bodyOffset + start;
        description->bytes.assign(fields.begin() + start, fields.begin() + start + description->parsed.length);
        return tag::kOk;
    }
    if (frameKind != id3::kFrameUserText) return tag::kNotFound;
    // Encoding byte, then a mark, seven code characters, nine digits and a terminator at most.
    uint8_t bytes[1 + 2 + 2 * (7 + 9 + 1)];
    if (frame.bodySize < 1) return tag::kNotFound;
    const uint32_t length = std::min<uint32_t>(frame.bodySize, sizeof(bytes));
    int32_t result = stream->Seek(frame.bodyOffset, kSeekBegin);
    if (result == tag::kOk) result = stream->Read(bytes, length);
    if (result != tag::kOk) return result;
    // Any other description makes an ordinary user text frame.
    if (id3::ParseTextDescription(bytes[0], bytes + 1, length - 1, &description->parsed) != tag::kOk)
        return tag::kNotFound;
    description->pictureKind = id3::PictureKindOfTextKind(description->parsed.kind);
    description->encodingByte = bytes[0];
    description->offset = frame.bodyOffset + 1;
    description->bytes.assign(bytes + 1, bytes + 1 + description->parsed.length);
    return tag::kOk;
}

}  // namespace mp4
