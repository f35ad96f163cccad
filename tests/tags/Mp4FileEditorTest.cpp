// The MP4 editor: chunk offsets after the media data moves, brands, the refused operations, and
// edits of each kind read back through the reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "library/media/tags/Mp4BoxHeader.h"
#include "library/media/tags/Mp4FileEditor.h"
#include "library/media/tags/Mp4Reader.h"
#include "library/media/tags/TagFactories.h"
#include "library/media/tags/TagMemoryStream.h"
#include "library/media/tags/TagTypes.h"
#include "tests/tags/Mp4TestSupport.h"
#include "tests/tags/TagTextDecode.h"

using namespace mp4test;
using tagtest::TextItem;
using tagtest::ToBytes;

namespace {

Bytes SaveEdited(const Bytes& file, int32_t kind, const std::function<void(CTagEditor&)>& edit, int32_t* saved = nullptr) {
    int32_t result;
    std::unique_ptr<CTagEditor> editor(Mp4EditorOver(file, kind, &result));
    EXPECT_TRUE(editor) << result;
    if (!editor) return {};
    edit(*editor);
    tagtest::CCollectingWriteStream output;
    result = editor->Save(&output, false);
    if (saved) *saved = result;
    else EXPECT_EQ(0, result);
    return output.bytes;
}

void SetText(CTagEditor& editor, int32_t itemType, const std::string& text, int32_t expected = 0) {
    EXPECT_EQ(expected, editor.SetItem(itemType, TextStream(text), uint32_t(text.size()), tag::kEncodingUtf8, 0, true))
        << itemType;
}

Bytes MediaOf(const Bytes& file) {
    for (const TopBox& box : TopLevel(file))
        if (box.type == "mdat") return Bytes(file.begin() + box.offset, file.begin() + box.offset + box.size);
    return {};
}

std::vector<uint64_t> Shifted(std::vector<uint64_t> entries, int64_t by) {
    for (uint64_t& entry : entries) entry += by;
    return entries;
}


// ---- 3GP frame boxes for the picture numbering

// A description in UTF-16 with a mark of that order, or in single bytes for encoding 0.
Bytes Description(uint8_t encodingByte, const std::string& text, bool littleEndian = false) {
    if (encodingByte == 0) return Cat({ToBytes(text), Bytes{0}});
    Bytes bytes = littleEndian ? Bytes{0xFF, 0xFE} : Bytes{0xFE, 0xFF};
    for (char c : text + '\0') {
        bytes.push_back(littleEndian ? uint8_t(c) : 0);
        bytes.push_back(littleEndian ? 0 : uint8_t(c));
    }
    return bytes;
}

Bytes FrameBox(uint16_t kind, const Bytes& body) {
    return UuidBox(mp4::kFrameBoxUserType, Cat({Be32(uint32_t(body.size())), Be16(kind), body}));
}

Bytes PictureFrame(const Bytes& description, const std::string& image) {
    return FrameBox(3, Cat({Bytes{1}, ToBytes("image/jpeg"), Bytes{0, 3}, description, ToBytes(image)}));
}

Bytes TextFrame(uint8_t encodingByte, const Bytes& description, const std::string& value) {
    return FrameBox(11, Cat({Bytes{encodingByte}, description, ToBytes(value)}));
}

// Each frame box of the tag container as "kind code+digits value"; a frame size that disagrees
// with its box shows as "bad size".
std::vector<std::string> FrameList(const Bytes& file) {
    std::vector<std::string> frames;
    for (const TopBox& top : TopLevel(file)) {
        const uint64_t body = top.offset + 24;
        if (top.type != "uuid" || !std::equal(mp4::kTagContainerUserType, mp4::kTagContainerUserType + 16,
                                              file.begin() + top.offset + 8))
            continue;
        const Bytes container(file.begin() + body, file.begin() + top.offset + top.size);
        for (const TopBox& box : TopLevel(container)) {
            const uint8_t* at = container.data() + box.offset + 24;
            const uint32_t frameSize = (at[0] << 24) | (at[1] << 16) | (at[2] << 8) | at[3];
            if (frameSize != box.size - 30) {
                frames.push_back("bad size");
                continue;
            }
            const uint16_t kind = uint16_t((at[4] << 8) | at[5]);
            const uint8_t* frame = at + 6;
            const uint8_t* end = frame + frameSize;
            const uint8_t* text = frame + 1;
            if (kind == 3) text = std::find(text, end, uint8_t(0)) + 2;
            // The description: units of the encoding up to a zero unit, kept as single letters.
            std::string description;
            const size_t width = frame[0] == 1 ? 2 : 1;
            const bool littleEndian = width == 2 && text[0] == 0xFF;
            if (width == 2) text += 2;
            for (; text + width <= end; text += width) {
                const uint8_t letter = width == 1 ? text[0] : littleEndian ? text[0] : text[1];
                if (letter == 0 && (width == 1 || (text[0] | text[1]) == 0)) break;
                description += char(letter);
            }
            text += width;
            frames.push_back((kind == 3 ? "APIC " : "TXXX ") + description + " " + std::string(text, end));
        }
    }
    return frames;
}

}  // namespace

TEST(Mp4FileEditor, ChunkOffsetsFollowTheMediaData) {
    for (const bool moovFirst : {true, false}) {
        for (const bool wide : {false, true}) {
            SCOPED_TRACE(std::string(moovFirst ? "moov first" : "moov last") + (wide ? ", co64" : ", stco"));
            MovieParts parts;
            // Brands the editor keeps as they are, so only the tags can move the media.
            parts.majorBrand = "M4A ";
            parts.compatibleBrands = "M4A isom";
            parts.moovFirst = moovFirst;
            // The chunk offsets point into the media, wherever it lands.
            auto offsets = [wide](uint64_t start) {
                return wide ? Co64({start, start + 16, start + 40})
                            : Stco({uint32_t(start), uint32_t(start + 16), uint32_t(start + 40)});
            };
            parts.chunkOffsetBox = offsets(0);
            const uint64_t start = MediaStart(Movie(parts));
            parts.chunkOffsetBox = offsets(start);
            const Bytes file = Movie(parts);
            ASSERT_EQ(start, MediaStart(file));
            const Bytes saved = SaveEdited(file, kMp4KindAudio, [](CTagEditor& editor) {
                SetText(editor, tag::kItemTitle, std::string(20, 'T'));
            });
            const int64_t growth = int64_t(MediaStart(saved)) - int64_t(MediaStart(file));
            EXPECT_EQ(moovFirst ? int64_t(Payload(saved, "moov").size() - Payload(file, "moov").size()) : 0, growth);
            EXPECT_GT(Payload(saved, "moov").size(), Payload(file, "moov").size());
            EXPECT_EQ(MediaOf(file), MediaOf(saved));
            EXPECT_EQ(Shifted(ChunkOffsets(file), growth), ChunkOffsets(saved));
            EXPECT_EQ(std::string(20, 'T'), TextItem(*std::unique_ptr<CTagReader>(Mp4ReaderOver(saved, 1)), tag::kItemTitle));
        }
    }
}

TEST(Mp4FileEditor, OffsetsThatWouldOverflowAreRefused) {
    MovieParts parts;
    parts.majorBrand = "M4A ";
    parts.chunkOffsetBox = Stco({0xFFFFFFF0u});
    const Bytes file = Movie(parts);
    int32_t saved;
    SaveEdited(file, kMp4KindAudio, [](CTagEditor& editor) { SetText(editor, tag::kItemTitle, std::string(40, 'T')); },
               &saved);
    EXPECT_EQ(tag::kMalformed, saved);
}

TEST(Mp4FileEditor, BrandsOfEachKind) {
    auto brands = [](const Bytes& file) {
        Bytes payload = Payload(file, "ftyp");
        std::string text(payload.begin(), payload.end());
        return text.substr(0, 4) + "|" + text.substr(8);
    };
    MovieParts parts;
    const Bytes file = Movie(parts);
    EXPECT_EQ("isom|isomiso2mp41", brands(file));
    EXPECT_EQ("mp42|isomiso2mp413gp7", brands(SaveEdited(file, kMp4KindMovie, [](CTagEditor&) {})));
    EXPECT_EQ("M4A |isomiso2mp41M4A ", brands(SaveEdited(file, kMp4KindAudio, [](CTagEditor&) {})));
    EXPECT_EQ("3gp6|isomiso2mp41", brands(SaveEdited(file, kMp4Kind3gp, [](CTagEditor&) {})));
    // A listed brand is not added twice; a zero entry keeps its place behind the new one.
    parts.majorBrand = "mp42";
    Bytes zero = Movie(parts);
    const Bytes saved = SaveEdited(zero, kMp4KindMovie, [](CTagEditor&) {});
    EXPECT_EQ("mp42|isomiso2mp413gp7", brands(saved));
    // The brand change moved the media, and the offsets moved with it.
    EXPECT_EQ(Shifted(ChunkOffsets(zero), 4), ChunkOffsets(saved));
}

TEST(Mp4FileEditor, RefusedOperations) {
    const Bytes file = Movie(MovieParts());
    struct Row {
        const char* name;
        int32_t kind;
        std::function<int32_t(CTagEditor&, CTagStream*)> call;
        int32_t expected;
        bool takesStream;
    };
    const Row rows[] = {
        {"M4A SetMoodData", 1, [](CTagEditor& e, CTagStream* s) { return e.SetMoodData(s, 4, 0, true); }, -11, true},
        {"M4A RemoveMoodData", 1, [](CTagEditor& e, CTagStream*) { return e.RemoveMoodData(); }, -11, false},
        {"MP4 SetLookupId", 0, [](CTagEditor& e, CTagStream* s) { return e.SetLookupId(s, 4, 0, true); }, -11, true},
        {"3GP RemoveItem 5", 2, [](CTagEditor& e, CTagStream*) { return e.RemoveItem(5); }, -11, false},
        {"3GP SetItem track", 2, [](CTagEditor& e, CTagStream* s) { return e.SetItem(7, s, 4, 1, 0, true); }, -11, true},
        {"M4A SetItem 5", 1, [](CTagEditor& e, CTagStream* s) { return e.SetItem(5, s, 4, 1, 0, true); }, -11, true},
        {"M4A RemoveItem 5", 1, [](CTagEditor& e, CTagStream*) { return e.RemoveItem(5); }, 0, false},
        {"M4A RemoveItem missing", 1, [](CTagEditor& e, CTagStream*) { return e.RemoveItem(tag::kItemAlbum); }, 0, false},
        {"M4A SetItem UTF-16", 1, [](CTagEditor& e, CTagStream* s) { return e.SetItem(1, s, 4, 3, 0, true); }, -2, true},
        {"M4A SetItem empty", 1, [](CTagEditor& e, CTagStream* s) { return e.SetItem(1, s, 0, 1, 0, true); }, -2, true},
    };
    static const uint8_t kData[4] = {'d', 'a', 't', 'a'};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Bytes unchanged = SaveEdited(file, row.kind, [](CTagEditor&) {});
        bool deleted = false;
        const Bytes saved = SaveEdited(file, row.kind, [&](CTagEditor& editor) {
            CTagStream* stream = row.takesStream ? new tagtest::CTrackedStream(kData, 4, &deleted) : nullptr;
            EXPECT_EQ(row.expected, row.call(editor, stream));
        });
        EXPECT_EQ(row.takesStream, deleted);
        EXPECT_EQ(unchanged, saved);
    }
}

TEST(Mp4FileEditor, FilesThatCannotBeRewrittenSafely) {
    MovieParts parts;
    const Bytes movie = Movie(parts);
    Bytes wide = movie;
    wide[MediaStart(movie) - 8 + 3] = 1;  // mdat with a 64-bit size
    MovieParts fragmented;
    fragmented.trailer = Cat({Box("moof", FullBox("mfhd", Be32(1))), Box("mdat", Bytes(8, 1))});
    struct Row {
        const char* name;
        Bytes file;
    };
    const Row rows[] = {
        {"64-bit size", wide},
        {"fragmented", Movie(fragmented)},
        {"truncated", Bytes(movie.begin(), movie.end() - 3)},
        {"no mdat", Payload(movie, "moov").empty() ? Bytes() : Box("moov", Payload(movie, "moov"))},
        {"stco longer than its box", Cat({Box("moov", Box("trak", Box("mdia", Box("minf", Box("stbl",
                                          FullBox("stco", Be32(1000))))))), Box("mdat", Bytes(4, 0))})},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        int32_t result;
        std::unique_ptr<CTagEditor> editor(Mp4EditorOver(row.file, kMp4KindAudio, &result));
        EXPECT_FALSE(editor);
        EXPECT_EQ(tag::kMalformed, result);
    }
}

TEST(Mp4FileEditor, M4aItemsPicturesAndLookupIdReadBack) {
    const Bytes file = Movie(MovieParts());
    static const uint8_t kJpeg[] = {0xFF, 0xD8, 0xFF, 0xE0, 1, 2};
    static const uint8_t kPng[] = {0x89, 'P', 'N', 'G', 3};
    const Bytes saved = SaveEdited(file, kMp4KindAudio, [](CTagEditor& editor) {
        SetText(editor, tag::kItemArtist, "Artist");
        SetText(editor, tag::kItemTitle, "Old");
        SetText(editor, tag::kItemTitle, "Title");
        SetText(editor, tag::kItemGenre, "Jazz");
        SetText(editor, tag::kItemAlbum, "Album");
        SetText(editor, tag::kItemAlbumArtist, "Composer");
        SetText(editor, tag::kItemYear, "2010");
        SetText(editor, tag::kItemTrack, "4/9");
        EXPECT_EQ(0, editor.SetPicture(new CTagMemoryStream(kJpeg, 6), 6, tag::kImageJpeg, 3, 0, 0, true));
        EXPECT_EQ(0, editor.SetPicture(new CTagMemoryStream(kPng, 5), 5, tag::kImagePng, 3, 1, 0, true));
        EXPECT_EQ(0, editor.SetLookupId(TextStream("OLD"), 3, 0, true));
        EXPECT_EQ(0, editor.SetLookupId(TextStream("ID-42"), 5, 0, true));
    });
    std::unique_ptr<CTagReader> reader(Mp4ReaderOver(saved, kMp4KindAudio));
    ASSERT_TRUE(reader);
    const std::pair<int32_t, std::string> expected[] = {{0, "Artist"}, {1, "Title"}, {2, "Jazz"}, {3, "Album"},
                                                         {4, "Composer"}, {6, "2010"}, {7, "4/9"}};
    for (const auto& item : expected) EXPECT_EQ(item.second, TextItem(*reader, item.first)) << item.first;
    uint32_t count, offset, size;
    ASSERT_EQ(0, reader->CountPictures(tag::kPictureAnyType, &count));
    EXPECT_EQ(2u, count);
    uint8_t type;
    int32_t format;
    ASSERT_EQ(0, reader->GetPictureInfo(tag::kPictureAnyType, 1, &offset, &size, &type, &format));
    EXPECT_EQ(tag::kImagePng, format);
    EXPECT_EQ(Bytes(kPng, kPng + 5), Bytes(saved.begin() + offset, saved.begin() + offset + size));
    ASSERT_EQ(0, reader->FindLookupId(&offset, &size));
    EXPECT_EQ(ToBytes("ID-42"), Bytes(saved.begin() + offset, saved.begin() + offset + size));
    // The 24-byte "data" of "trkn" has data type 0, and the new "meta" says what it holds.
    const Bytes trkn = Payload(saved, "moov/udta/meta/ilst/trkn");
    EXPECT_EQ(Cat({Be32(24), ToBytes("data"), Be32(0), Be32(0), Be16(0), Be16(4), Be16(9), Be16(0)}), trkn);
    const Bytes meta = Payload(saved, "moov/udta/meta");
    ASSERT_GE(meta.size(), 20u);
    EXPECT_EQ("hdlr", std::string(meta.begin() + 4, meta.begin() + 8));
    EXPECT_EQ("mdir", std::string(meta.begin() + 16, meta.begin() + 20));

    // Position 0 replaces the first picture and keeps the second; position 2 appends a third.
    const Bytes replaced = SaveEdited(saved, kMp4KindAudio, [](CTagEditor& editor) {
        EXPECT_EQ(0, editor.SetPicture(new CTagMemoryStream(kPng, 5), 5, tag::kImagePng, 3, 0, 0, true));
        EXPECT_EQ(0, editor.SetPicture(new CTagMemoryStream(kJpeg, 6), 6, tag::kImageJpeg, 3, 2, 0, true));
    });
    reader.reset(Mp4ReaderOver(replaced, kMp4KindAudio));
    int32_t formats[3];
    for (int32_t index = 0; index < 3; ++index)
        ASSERT_EQ(0, reader->GetPictureInfo(tag::kPictureAnyType, index, &offset, &size, &type, &formats[index]));
    EXPECT_EQ(tag::kImagePng, formats[0]);
    EXPECT_EQ(tag::kImagePng, formats[1]);
    EXPECT_EQ(tag::kImageJpeg, formats[2]);
    const Bytes removed = SaveEdited(replaced, kMp4KindAudio, [](CTagEditor& editor) {
        EXPECT_EQ(0, editor.RemovePicture(3, 0));
        EXPECT_EQ(0, editor.RemoveItem(tag::kItemArtist));
        EXPECT_EQ(0, editor.RemoveItem(tag::kItemTrack));
    });
    reader.reset(Mp4ReaderOver(removed, kMp4KindAudio));
    ASSERT_EQ(0, reader->CountPictures(tag::kPictureAnyType, &count));
    EXPECT_EQ(2u, count);
    EXPECT_EQ("<-5>", TextItem(*reader, tag::kItemArtist));
    EXPECT_EQ("<-5>", TextItem(*reader, tag::kItemTrack));
    EXPECT_EQ("Title", TextItem(*reader, tag::kItemTitle));
}

TEST(Mp4FileEditor, MovieTagGoesIntoAnId3TagInId32) {
    const Bytes file = Movie(MovieParts());
    static const uint8_t kPng[] = {0x89, 'P', 'N', 'G', 3};
    static const uint8_t kMood[] = {1, 2, 3, 4, 5, 6, 7};
    const Bytes saved = SaveEdited(file, kMp4KindMovie, [](CTagEditor& editor) {
        SetText(editor, tag::kItemTitle, "Movie Title");
        SetText(editor, tag::kItemArtist, "Movie Artist");
        EXPECT_EQ(0, editor.SetPicture(new CTagMemoryStream(kPng, 5), 5, tag::kImagePng, 3, 0, 0, true));
        EXPECT_EQ(0, editor.SetMoodData(new CTagMemoryStream(kMood, 7), 7, 0, true));
    });
    std::unique_ptr<CTagReader> reader(Mp4ReaderOver(saved, kMp4KindMovie));
    ASSERT_TRUE(reader);
    EXPECT_EQ("Movie Title", TextItem(*reader, tag::kItemTitle));
    EXPECT_EQ("Movie Artist", TextItem(*reader, tag::kItemArtist));
    EXPECT_EQ(Bytes(kMood, kMood + 7), tagtest::MoodPayload(*reader));
    uint32_t offset, size;
    uint8_t type;
    int32_t format;
    ASSERT_EQ(0, reader->GetPictureInfo(3, 0, &offset, &size, &type, &format));
    EXPECT_EQ(Bytes(kPng, kPng + 5), Bytes(saved.begin() + offset, saved.begin() + offset + size));
    // A new "meta" carries a handler box; the "ID32" box has the language "und".
    const Bytes meta = Payload(saved, "moov/meta");
    ASSERT_GE(meta.size(), 20u);
    EXPECT_EQ("hdlr", std::string(meta.begin() + 4, meta.begin() + 8));
    const Bytes id32 = Payload(saved, "moov/meta/ID32");
    ASSERT_GE(id32.size(), 9u);
    EXPECT_EQ(Cat({Be32(0), Be16(0x55C4), ToBytes("ID3")}), Bytes(id32.begin(), id32.begin() + 9));
    // Edited again, the loaded tag keeps what it had.
    const Bytes again = SaveEdited(saved, kMp4KindMovie, [](CTagEditor& editor) {
        EXPECT_EQ(0, editor.RemoveItem(tag::kItemArtist));
        EXPECT_EQ(0, editor.RemoveMoodData());
    });
    reader.reset(Mp4ReaderOver(again, kMp4KindMovie));
    EXPECT_EQ("Movie Title", TextItem(*reader, tag::kItemTitle));
    EXPECT_EQ("<-5>", TextItem(*reader, tag::kItemArtist));
    EXPECT_TRUE(tagtest::MoodPayload(*reader).empty());
    EXPECT_EQ(Shifted(ChunkOffsets(saved), int64_t(MediaStart(again)) - int64_t(MediaStart(saved))),
              ChunkOffsets(again));
}

// ID3v2 tags in "ID32" that need a clean copy are written back clean, the header flags saying
// only what holds for the bytes written (no unsynchronisation, extended header or footer).
TEST(Mp4FileEditor, MovieTagsAreWrittenBackClean) {
    const Bytes image = {0xFF, 0xD8, 0xFF, 0xE0, 0xFF, 0x00, 1, 0xFF};
    const Bytes mood = {0xFF, 0xFB, 0xFF, 0x00, 7};
    for (const Id3Variant& variant : Id3Variants(image, mood)) {
        SCOPED_TRACE(variant.name);
        const Bytes file = MovieWithId3Tag(variant.tag);
        const Bytes saved = SaveEdited(file, kMp4KindMovie, [](CTagEditor& editor) {
            EXPECT_EQ(0, editor.SetItem(tag::kItemArtist, TextStream("Edited"), 6, tag::kEncodingAnsi, 0, true));
        });
        const Bytes id32 = Payload(saved, "moov/meta/ID32");
        ASSERT_GE(id32.size(), 16u);
        EXPECT_EQ(ToBytes("ID3"), Bytes(id32.begin() + 6, id32.begin() + 9));
        EXPECT_EQ(0, id32[6 + 5]) << "tag header flags";
        // The tag fills the box exactly: no footer is announced or left behind.
        const uint32_t tagSize = (id32[12] << 21) | (id32[13] << 14) | (id32[14] << 7) | id32[15];
        EXPECT_EQ(id32.size(), 6 + 10 + size_t(tagSize));
        // The image is stored as it is, no longer unsynchronised.
        EXPECT_NE(saved.end(), std::search(saved.begin(), saved.end(), image.begin(), image.end()));
        std::unique_ptr<CTagReader> reader(Mp4ReaderOver(saved, kMp4KindMovie));
        ASSERT_TRUE(reader);
        EXPECT_EQ("Clean Title", TextItem(*reader, tag::kItemTitle));
        EXPECT_EQ("Edited", TextItem(*reader, tag::kItemArtist));
        EXPECT_EQ(mood, tagtest::MoodPayload(*reader));
        uint32_t offset = 0, size = 0;
        uint8_t type;
        int32_t format;
        ASSERT_EQ(0, reader->GetPictureInfo(3, 0, &offset, &size, &type, &format));
        ASSERT_LE(uint64_t(offset) + size, saved.size());
        EXPECT_EQ(image, Bytes(saved.begin() + offset, saved.begin() + offset + size));
        EXPECT_EQ(Shifted(ChunkOffsets(file), int64_t(MediaStart(saved)) - int64_t(MediaStart(file))),
                  ChunkOffsets(saved));
        // The saved tag loads again: its header places its end where the box ends.
        const Bytes again = SaveEdited(saved, kMp4KindMovie, [](CTagEditor& editor) {
            EXPECT_EQ(0, editor.RemovePicture(3, 0));
        });
        reader.reset(Mp4ReaderOver(again, kMp4KindMovie));
        ASSERT_TRUE(reader);
        EXPECT_EQ("Edited", TextItem(*reader, tag::kItemArtist));
        uint32_t count = 9;
        EXPECT_EQ(0, reader->CountPictures(tag::kPictureAnyType, &count));
        EXPECT_EQ(0u, count);
    }
}

TEST(Mp4FileEditor, ThirdGenerationAssetsAndFrameBoxes) {
    const Bytes file = Movie(MovieParts());
    static const uint8_t kJpeg[] = {0xFF, 0xD8, 0xFF, 7};
    static const uint8_t kMood[] = {9, 8, 7};
    const Bytes saved = SaveEdited(file, kMp4Kind3gp, [](CTagEditor& editor) {
        SetText(editor, tag::kItemAlbum, "Greatest");
        SetText(editor, tag::kItemTitle, "Song");
        SetText(editor, tag::kItemYear, "2008abc");
        EXPECT_EQ(0, editor.SetMoodData(new CTagMemoryStream(kMood, 3), 3, 0, true));
        EXPECT_EQ(0, editor.SetMoodData(new CTagMemoryStream(kMood, 2), 2, 0, true));
        EXPECT_EQ(0, editor.SetPicture(new CTagMemoryStream(kJpeg, 4), 4, tag::kImageJpeg, 3, 0, 0, true));
        EXPECT_EQ(0, editor.SetPicture(new CTagMemoryStream(kJpeg, 4), 4, tag::kImageJpeg, 128, 0, 0, true));
        EXPECT_EQ(0, editor.SetLookupId(TextStream("GN-1"), 4, 0, true));
    });
    std::unique_ptr<CTagReader> reader(Mp4ReaderOver(saved, kMp4Kind3gp));
    ASSERT_TRUE(reader);
    // The album is written with its terminator, so its last letter is no track number.
    EXPECT_EQ("Greatest", TextItem(*reader, tag::kItemAlbum));
    EXPECT_EQ("<-5>", TextItem(*reader, tag::kItemTrack));
    EXPECT_EQ("Song", TextItem(*reader, tag::kItemTitle));
    EXPECT_EQ("2008", TextItem(*reader, tag::kItemYear));
    EXPECT_EQ(Bytes(kMood, kMood + 2), tagtest::MoodPayload(*reader));
    EXPECT_TRUE(tagtest::MoodPayload(*reader, 1).empty());
    uint32_t count, offset, size;
    ASSERT_EQ(0, reader->CountPictures(3, &count));
    EXPECT_EQ(1u, count);
    ASSERT_EQ(0, reader->CountPictures(128, &count));
    EXPECT_EQ(1u, count);
    ASSERT_EQ(0, reader->FindLookupId(&offset, &size));
    EXPECT_EQ(ToBytes("GN-1"), Bytes(saved.begin() + offset, saved.begin() + offset + size));
    EXPECT_EQ(Cat({Be32(0), Be16(0x15C7), ToBytes("Greatest"), Bytes{0}}), Payload(saved, "moov/udta/albm"));
    EXPECT_EQ(Cat({Be32(0), Be16(2008)}), Payload(saved, "moov/udta/yrrc"));
    // The tag container goes behind the media; only the assets in moov move it.
    EXPECT_EQ("uuid", TopLevel(saved).back().type);
    const int64_t assetGrowth = int64_t(MediaStart(saved)) - int64_t(MediaStart(file));
    EXPECT_EQ(int64_t(Payload(saved, "moov").size() - Payload(file, "moov").size()), assetGrowth);
    EXPECT_EQ(Shifted(ChunkOffsets(file), assetGrowth), ChunkOffsets(saved));

    const Bytes removed = SaveEdited(saved, kMp4Kind3gp, [](CTagEditor& editor) {
        EXPECT_EQ(0, editor.RemovePicture(128, 0));
        EXPECT_EQ(0, editor.RemoveMoodData());
        EXPECT_EQ(0, editor.RemoveItem(tag::kItemAlbum));
        EXPECT_EQ(0, static_cast<CMp4FileEditor&>(editor).RemoveLookupId());
    });
    reader.reset(Mp4ReaderOver(removed, kMp4Kind3gp));
    ASSERT_EQ(0, reader->CountPictures(tag::kPictureAnyType, &count));
    EXPECT_EQ(1u, count);
    EXPECT_TRUE(tagtest::MoodPayload(*reader).empty());
    EXPECT_EQ("<-5>", TextItem(*reader, tag::kItemAlbum));
    EXPECT_EQ(tag::kNotFound, reader->FindLookupId(&offset, &size));
}

// M4A items and 3GP assets hold UTF-8: 8-bit text is converted on the way in (Windows-1252 here),
// never stored as bytes that are not UTF-8.
TEST(Mp4FileEditor, AnsiTextIsStoredAsUtf8) {
    struct Row {
        const char* fixture;
        int32_t kind;
        const char* path;
        uint32_t fieldsSize;  // in front of the text: the "data" box's or the asset's fields
        size_t terminatorSize;
    };
    const Row rows[] = {
        {"mp4/atomicparsley.m4a", kMp4KindAudio, "moov/udta/meta/ilst/\xA9nam/data", 8, 0},
        {"mp4/atomicparsley.3gp", kMp4Kind3gp, "moov/udta/titl", 6, 1},
    };
    const std::string ansi = "Caf\xE9 \x80 5";
    const std::string utf8 = "Caf\xC3\xA9 \xE2\x82\xAC 5";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fixture);
        const Bytes file = tagtest::ReadFileBytes(tagtest::FixturePath(row.fixture));
        const Bytes saved = SaveEdited(file, row.kind, [&](CTagEditor& editor) {
            EXPECT_EQ(0, editor.SetItem(tag::kItemTitle, TextStream(ansi), uint32_t(ansi.size()), tag::kEncodingAnsi,
                                        0, true));
        });
        std::unique_ptr<CTagReader> reader(Mp4ReaderOver(saved, row.kind));
        ASSERT_TRUE(reader);
        int32_t encoding = -1;
        EXPECT_EQ(utf8, TextItem(*reader, tag::kItemTitle, &encoding));
        EXPECT_EQ(tag::kEncodingUtf8, encoding);
        const Bytes payload = Payload(saved, row.path);
        ASSERT_GE(payload.size(), row.fieldsSize);
        EXPECT_EQ(utf8 + std::string(row.terminatorSize, '\0'), std::string(payload.begin() + row.fieldsSize, payload.end()));
    }
}

// A 3GP track number is the byte behind the album's terminator: replacing the album keeps it,
// even when the album is replaced twice before a save; removing the album takes it along.
TEST(Mp4FileEditor, ThirdGenerationAlbumKeepsItsTrackNumber) {
    const Bytes file = tagtest::ReadFileBytes(tagtest::FixturePath("mp4/atomicparsley.3gp"));
    {
        std::unique_ptr<CTagReader> reader(Mp4ReaderOver(file, kMp4Kind3gp));
        ASSERT_TRUE(reader);
        ASSERT_EQ("Greatest", TextItem(*reader, tag::kItemAlbum));
        ASSERT_EQ("7", tagtest::DecodedTextItem(*reader, tag::kItemTrack));
    }
    struct Case {
        const char* name;
        std::function<void(CTagEditor&)> edit;
        const char* album;
        const char* track;
    };
    const Case cases[] = {
        {"replaced", [](CTagEditor& editor) { SetText(editor, tag::kItemAlbum, "New Album"); }, "New Album", "7"},
        {"replaced twice",
         [](CTagEditor& editor) {
             SetText(editor, tag::kItemAlbum, "First");
             SetText(editor, tag::kItemAlbum, "Second");
         },
         "Second", "7"},
        {"removed", [](CTagEditor& editor) { EXPECT_EQ(0, editor.RemoveItem(tag::kItemAlbum)); }, "<-5>", "<-5>"},
        {"removed, then set",
         [](CTagEditor& editor) {
             EXPECT_EQ(0, editor.RemoveItem(tag::kItemAlbum));
             SetText(editor, tag::kItemAlbum, "Fresh");
         },
         "Fresh", "<-5>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes saved = SaveEdited(file, kMp4Kind3gp, c.edit);
        std::unique_ptr<CTagReader> reader(Mp4ReaderOver(saved, kMp4Kind3gp));
        ASSERT_TRUE(reader);
        EXPECT_EQ(c.album, TextItem(*reader, tag::kItemAlbum));
        EXPECT_EQ(c.track, tagtest::DecodedTextItem(*reader, tag::kItemTrack));
        EXPECT_EQ("Greatest", TextItem(*reader, tag::kItemTitle));
    }
    const Bytes saved = SaveEdited(file, kMp4Kind3gp, cases[0].edit);
    EXPECT_EQ(Cat({Be32(0), Be16(0x15C7), ToBytes("New Album"), Bytes{0, 7}}), Payload(saved, "moov/udta/albm"));
}

// 3GP pictures are numbered from 1 within their kind; adding or removing one renumbers the
// others of that kind and the user texts that name them, whatever encoding their description has.
TEST(Mp4FileEditor, ThirdGenerationPicturesAreRenumbered) {
    MovieParts parts;
    parts.trailer = UuidBox(mp4::kTagContainerUserType,
                            Cat({PictureFrame(Description(1, "FAECA1"), "A"), PictureFrame(Description(1, "FAECA2", true), "B"),
                                 PictureFrame(Description(1, "LYRIC1"), "L"), TextFrame(1, Description(1, "E_FPRCA1"), "t1"),
                                 TextFrame(0, Description(0, "E_FCRCA2"), "t2"),
                                 TextFrame(1, Description(1, "E_FPRCA9", true), "t9"),
                                 TextFrame(1, Description(1, "E_FPRLR1"), "l1"), TextFrame(0, Description(0, "OTHER1"), "o")}));
    const Bytes file = Movie(parts);
    ASSERT_EQ(8u, FrameList(file).size());
    static const uint8_t kNew[] = {'N'};
    struct Row {
        const char* name;
        std::function<void(CTagEditor&)> edit;
        std::vector<std::string> frames;
    };
    const Row rows[] = {
        {"add at the front",
         [](CTagEditor& editor) {
             EXPECT_EQ(0, editor.SetPicture(new CTagMemoryStream(kNew, 1), 1, tag::kImageJpeg, 3, 0, 0, true));
         },
         {"APIC FAECA2 A", "APIC FAECA3 B", "APIC LYRIC1 L", "TXXX E_FPRCA2 t1", "TXXX E_FCRCA3 t2",
          "TXXX E_FPRCA10 t9", "TXXX E_FPRLR1 l1", "TXXX OTHER1 o", "APIC FAECA1 N"}},
        {"remove the first",
         [](CTagEditor& editor) { EXPECT_EQ(0, editor.RemovePicture(3, 0)); },
         {"APIC FAECA1 B", "APIC LYRIC1 L", "TXXX E_FCRCA1 t2", "TXXX E_FPRCA8 t9", "TXXX E_FPRLR1 l1",
          "TXXX OTHER1 o"}},
        {"add in the middle, then remove the first",
         [](CTagEditor& editor) {
             EXPECT_EQ(0, editor.SetPicture(new CTagMemoryStream(kNew, 1), 1, tag::kImageJpeg, 3, 1, 0, true));
             EXPECT_EQ(0, editor.RemovePicture(3, 0));
         },
         {"APIC FAECA2 B", "APIC LYRIC1 L", "TXXX E_FCRCA2 t2", "TXXX E_FPRCA9 t9", "TXXX E_FPRLR1 l1",
          "TXXX OTHER1 o", "APIC FAECA1 N"}},
        {"remove a lyrics picture",
         [](CTagEditor& editor) { EXPECT_EQ(0, editor.RemovePicture(128, 0)); },
         {"APIC FAECA1 A", "APIC FAECA2 B", "TXXX E_FPRCA1 t1", "TXXX E_FCRCA2 t2", "TXXX E_FPRCA9 t9",
          "TXXX OTHER1 o"}},
        {"remove a number nobody has",
         [](CTagEditor& editor) { EXPECT_EQ(0, editor.RemovePicture(129, 4)); },
         FrameList(file)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Bytes saved = SaveEdited(file, kMp4Kind3gp, row.edit);
        EXPECT_EQ(row.frames, FrameList(saved));
        // The renumbered descriptions still read as pictures of their kind.
        std::unique_ptr<CTagReader> reader(Mp4ReaderOver(saved, kMp4Kind3gp));
        ASSERT_TRUE(reader);
        uint32_t count = 0;
        EXPECT_EQ(0, reader->CountPictures(3, &count));
    }

    // A picture whose description cannot be read stops the edit before any number changes.
    parts.trailer = UuidBox(mp4::kTagContainerUserType,
                            Cat({PictureFrame(Description(1, "FAECA1"), "A"), PictureFrame(Description(1, "WHAT?1"), "W")}));
    const Bytes broken = Movie(parts);
    const Bytes unchanged = SaveEdited(broken, kMp4Kind3gp, [](CTagEditor&) {});
    EXPECT_EQ(unchanged, SaveEdited(broken, kMp4Kind3gp, [](CTagEditor& editor) {
        EXPECT_EQ(tag::kMalformed,
                  editor.SetPicture(new CTagMemoryStream(kNew, 1), 1, tag::kImageJpeg, 3, 0, 0, true));
        EXPECT_EQ(tag::kMalformed, editor.RemovePicture(3, 0));
    }));
}
