// Builders of MP4 boxes in memory and walkers of saved files for the MP4 tag tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/media/tags/TagEditor.h"
#include "library/media/tags/TagReader.h"
#include "tests/tags/TagTestSupport.h"

namespace mp4test {

using tagtest::Bytes;

Bytes Be16(uint32_t value);
Bytes Be32(uint32_t value);
Bytes Cat(std::initializer_list<Bytes> parts);
// type is four characters ("\xA9nam" for the copyright-sign items).
Bytes Box(const std::string& type, const Bytes& payload);
Bytes FullBox(const std::string& type, const Bytes& payload);
Bytes UuidBox(const uint8_t* userType, const Bytes& payload);
// An "ilst" item with one "data" child of that data type.
Bytes Item(const std::string& type, uint32_t dataType, const Bytes& value);

// A small file: ftyp (major brand), moov holding one track whose stbl has chunkOffsetBox, then
// moovExtra inside moov, and mdat with media; moov before or after mdat.
struct MovieParts {
    std::string majorBrand = "isom";
    std::string compatibleBrands = "isomiso2mp41";
    Bytes chunkOffsetBox;  // default: an stco pointing at the media
    Bytes moovExtra;
    Bytes media = Bytes(64, 0x5A);
    bool moovFirst = true;
    Bytes trailer;  // top-level boxes after everything else
};
Bytes Movie(const MovieParts& parts);
// The chunk offset box for entries that lie inside the media at those offsets from its start,
// given where the media starts.
Bytes Stco(const std::vector<uint32_t>& entries);
Bytes Co64(const std::vector<uint64_t>& entries);

struct TopBox {
    std::string type;
    uint64_t offset;
    uint64_t size;
};
std::vector<TopBox> TopLevel(const Bytes& file);
// Every stco and co64 entry under moov/trak/mdia/minf/stbl, in file order.
std::vector<uint64_t> ChunkOffsets(const Bytes& file);
// Where the first mdat's data starts (0 when there is none).
uint64_t MediaStart(const Bytes& file);
// The payload bytes of the first box at that path ("moov/udta/meta/ilst"); empty when missing.
Bytes Payload(const Bytes& file, const std::string& path);

// A movie whose moov/meta/ID32 box holds that ID3v2 tag.
Bytes MovieWithId3Tag(const Bytes& tag);
// ID3v2 tags of the forms a reader takes from a clean copy (unsynchronised, with an extended
// header), and one with a footer, each holding the title "Clean Title", a front cover with that
// JPEG image and the mood data with that payload.
struct Id3Variant {
    const char* name;
    Bytes tag;
};
std::vector<Id3Variant> Id3Variants(const Bytes& image, const Bytes& mood);

CTagReader* Mp4ReaderOver(const Bytes& file, int32_t kind, int32_t* result = nullptr);
CTagEditor* Mp4EditorOver(const Bytes& file, int32_t kind, int32_t* result = nullptr);
// A memory stream over text that the editor owns (the text is kept alive by the test's list).
CTagStream* TextStream(const std::string& text);

}  // namespace mp4test
