// The MP4 reader over files written by ffmpeg and AtomicParsley, sample files, and boxes built
// in memory for the edge cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "library/media/tags/Id3FrameFields.h"
#include "library/media/tags/Mp4BoxHeader.h"
#include "library/media/tags/Mp4Reader.h"
#include "library/media/tags/TagFactories.h"
#include "library/media/tags/TagMemoryStream.h"
#include "library/media/tags/TagTypes.h"
#include "tests/tags/Mp4TestSupport.h"

using namespace mp4test;
using tagtest::TextItem;
using tagtest::ToBytes;

namespace {

Bytes Fixture(const std::string& name) { return tagtest::ReadFileBytes(tagtest::FixturePath("mp4/" + name)); }

std::string Text(const Bytes& file, int32_t kind, int32_t itemType, int32_t* encoding = nullptr) {
    int32_t result;
    std::unique_ptr<CTagReader> reader(Mp4ReaderOver(file, kind, &result));
    if (!reader) return "<open " + std::to_string(result) + ">";
    return TextItem(*reader, itemType, encoding);
}

struct FixtureRow {
    const char* file;
    int32_t kind;
    const char* artist;
    const char* title;
    const char* genre;
    const char* album;
    const char* composer;
    const char* year;
    const char* track;
    uint32_t pictures;
};

// "<-5>" marks an item the file does not have.
const FixtureRow kFixtures[] = {
    {"ffmpeg-moov-first.m4a", 1, "Ffmpeg-Artist", "Ffmpeg-Title", "Ambient", "Ffmpeg-Album", "Ffmpeg-Composer",
     "2009", "5/12", 1},
    {"ffmpeg-moov-last.m4a", 1, "Ffmpeg-Artist", "Ffmpeg-Title", "Ambient", "Ffmpeg-Album", "Ffmpeg-Composer",
     "2009", "5/12", 1},
    // AtomicParsley stores "Rock" as the numeric genre 18: the ID3v1 index 17, plus one.
    {"atomicparsley.m4a", 1, "Parsley Artist", "Parsley Title", "17", "Parsley Album", "Parsley Composer", "2008",
     "3/10", 2},
    {"atomicparsley-id32.mp4", 0, "Id3 Artist", "Id3 Title", "<-5>", "Id3 Album", "<-5>", "<-5>", "<-5>", 1},
    {"ffmpeg.3gp", 2, "Ffmpeg-Artist", "Ffmpeg-Title", "Ambient", "Ffmpeg-Album", "<-5>", "2009", "<-5>", 0},
    {"atomicparsley.3gp", 2, "Parsley Artist", "Greatest", "Rock", "Greatest", "<-5>", "2007", "7", 0},
    {"has-tags.m4a", 1, "Test Artist", "<-5>", "<-5>", "<-5>", "<-5>", "<-5>", "<-5>", 2},
    {"gnre.m4a", 1, "<-5>", "<-5>", "21", "<-5>", "<-5>", "<-5>", "<-5>", 0},
    {"no-tags.m4a", 1, "<-5>", "<-5>", "<-5>", "<-5>", "<-5>", "<-5>", "<-5>", 0},
    {"zero-length-mdat.m4a", 1, "<-5>", "Sine wave 440Hz", "<-5>", "<-5>", "<-5>", "<-5>", "<-5>", 0},
    {"no-tags.3g2", 2, "<-5>", "<-5>", "<-5>", "<-5>", "<-5>", "<-5>", "<-5>", 0},
};

}  // namespace

TEST(Mp4Reader, FixturesReadBackPerTable) {
    for (const FixtureRow& row : kFixtures) {
        SCOPED_TRACE(row.file);
        const Bytes file = Fixture(row.file);
        ASSERT_FALSE(file.empty());
        int32_t result;
        std::unique_ptr<CTagReader> reader(Mp4ReaderOver(file, row.kind, &result));
        ASSERT_TRUE(reader) << result;
        EXPECT_EQ(row.artist, TextItem(*reader, tag::kItemArtist));
        EXPECT_EQ(row.title, TextItem(*reader, tag::kItemTitle));
        EXPECT_EQ(row.album, TextItem(*reader, tag::kItemAlbum));
        EXPECT_EQ(row.composer, TextItem(*reader, tag::kItemAlbumArtist));
        EXPECT_EQ(row.year, TextItem(*reader, tag::kItemYear));
        EXPECT_EQ(row.track, TextItem(*reader, tag::kItemTrack));
        // ffmpeg's genre has no number behind it; AtomicParsley's 3GP genre is text.
        std::string genre = TextItem(*reader, tag::kItemGenre);
        EXPECT_EQ(row.genre, genre);
        uint32_t count = 99;
        EXPECT_EQ(0, reader->CountPictures(tag::kPictureAnyType, &count));
        EXPECT_EQ(row.pictures, count);
    }
}

TEST(Mp4Reader, PicturesAndLookupIdOfFixtures) {
    const Bytes file = Fixture("atomicparsley.m4a");
    std::unique_ptr<CTagReader> reader(Mp4ReaderOver(file, kMp4KindAudio));
    ASSERT_TRUE(reader);
    static const uint8_t kJpeg[] = {0xFF, 0xD8}, kPng[] = {0x89, 'P'};
    for (int32_t index = 0; index < 2; ++index) {
        uint32_t offset, size;
        uint8_t type;
        int32_t format;
        ASSERT_EQ(0, reader->GetPictureInfo(tag::kPictureAnyType, index, &offset, &size, &type, &format));
        EXPECT_EQ(0, type);
        EXPECT_EQ(index == 0 ? tag::kImageJpeg : tag::kImagePng, format);
        uint8_t start[2];
        ASSERT_EQ(0, reader->ReadObjectData(offset, size, 0, start, 2));
        EXPECT_EQ(0, memcmp(start, index == 0 ? kJpeg : kPng, 2));
    }
    uint32_t offset, size;
    ASSERT_EQ(0, reader->FindLookupId(&offset, &size));
    Bytes identifier(size);
    ASSERT_EQ(0, reader->ReadObjectData(offset, size, 0, identifier.data(), size));
    EXPECT_EQ(ToBytes("LOOKUP-0123"), identifier);

    // The movie's ID3v2 picture is a front cover reported at its place in the file.
    const Bytes movie = Fixture("atomicparsley-id32.mp4");
    std::unique_ptr<CTagReader> movieReader(Mp4ReaderOver(movie, kMp4KindMovie));
    ASSERT_TRUE(movieReader);
    uint8_t type;
    int32_t format;
    ASSERT_EQ(0, movieReader->GetPictureInfo(tag::kPictureAnyType, 0, &offset, &size, &type, &format));
    EXPECT_EQ(3, type);
    EXPECT_EQ(tag::kImagePng, format);
    ASSERT_LE(uint64_t(offset) + size, movie.size());
    EXPECT_EQ(0x89, movie[offset]);
    EXPECT_EQ('P', movie[offset + 1]);
}

// An ID3v2 tag in "ID32" that can only be read from a clean copy reports all its objects, at
// offsets inside its box, and their bytes are the clean ones.
TEST(Mp4Reader, MovieTagsNeedingACleanCopyReportEveryObject) {
    // Byte pairs that unsynchronisation changes, in the image and in the payload.
    const Bytes image = {0xFF, 0xD8, 0xFF, 0xE0, 0xFF, 0x00, 1, 0xFF};
    const Bytes mood = {0xFF, 0xFB, 0xFF, 0x00, 7};
    for (const Id3Variant& variant : Id3Variants(image, mood)) {
        SCOPED_TRACE(variant.name);
        const Bytes file = MovieWithId3Tag(variant.tag);
        std::unique_ptr<CTagReader> reader(Mp4ReaderOver(file, kMp4KindMovie));
        ASSERT_TRUE(reader);
        EXPECT_EQ("Clean Title", TextItem(*reader, tag::kItemTitle));
        EXPECT_EQ(mood, tagtest::MoodPayload(*reader));
        uint32_t offset = 0, size = 0;
        uint8_t type = 0;
        int32_t format = -1;
        ASSERT_EQ(0, reader->GetPictureInfo(tag::kPictureAnyType, 0, &offset, &size, &type, &format));
        EXPECT_EQ(3, type);
        EXPECT_EQ(tag::kImageJpeg, format);
        Bytes read(size);
        ASSERT_EQ(0, reader->ReadObjectData(offset, size, 0, read.data(), size));
        EXPECT_EQ(image, read);
        // The objects lie inside the tag's own place in the file.
        const uint64_t tagStart = std::search(file.begin(), file.end(), variant.tag.begin(), variant.tag.end()) - file.begin();
        EXPECT_GE(offset, tagStart);
        EXPECT_LE(uint64_t(offset) + size, tagStart + variant.tag.size());
    }
}

TEST(Mp4Reader, BrokenFilesGiveErrors) {
    struct Row {
        const char* name;
        Bytes file;
        int32_t open;
    };
    MovieParts plain;
    const Bytes movie = Movie(plain);
    Bytes wide = movie;
    // The mdat's size field set to 1: a 64-bit size follows, which the library does not take.
    const uint64_t mdat = MediaStart(movie) - 8;
    wide[mdat + 3] = 1;
    const Row rows[] = {
        {"ilst-is-last.m4a (no mdat)", Fixture("ilst-is-last.m4a"), tag::kMalformed},
        {"infloop.m4a (no mdat)", Fixture("infloop.m4a"), tag::kMalformed},
        {"64bit.mp4", Fixture("64bit.mp4"), tag::kMalformed},
        {"64-bit mdat size", wide, tag::kMalformed},
        {"truncated inside moov", Bytes(movie.begin(), movie.begin() + 100), tag::kMalformed},
        {"empty", Bytes(), tag::kMalformed},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        int32_t result = 0;
        std::unique_ptr<CTagReader> reader(Mp4ReaderOver(row.file, kMp4KindAudio, &result));
        EXPECT_FALSE(reader);
        EXPECT_EQ(row.open, result);
    }
    // A truncated box after mdat opens, and the parse reports the damage.
    Bytes cut = Cat({movie, Box("udta", Bytes(40, 0))});
    cut.resize(cut.size() - 10);
    std::unique_ptr<CTagReader> reader(Mp4ReaderOver(cut, kMp4KindAudio));
    ASSERT_TRUE(reader);
    EXPECT_EQ("<-3>", TextItem(*reader, tag::kItemTitle));
}

TEST(Mp4Reader, ItemValuesOfM4a) {
    auto itemsFile = [](const Bytes& items) {
        MovieParts parts;
        parts.moovExtra = Box("udta", FullBox("meta", Cat({FullBox("hdlr", Bytes(21, 0)), Box("ilst", items)})));
        return Movie(parts);
    };
    struct Row {
        const char* name;
        Bytes items;
        int32_t itemType;
        std::string expected;
    };
    const Row rows[] = {
        {"track alone", Item("trkn", 0, Cat({Be16(0), Be16(5), Be16(0), Be16(0)})), tag::kItemTrack, "5"},
        {"track and total", Item("trkn", 0, Cat({Be16(0), Be16(5), Be16(12), Be16(0)})), tag::kItemTrack, "5/12"},
        {"numeric genre", Item("gnre", 0, Be16(0x0011)), tag::kItemGenre, "16"},
        {"genre 0 is none", Item("gnre", 0, Be16(0)), tag::kItemGenre, "<-5>"},
        {"lower-case artist", Item("\xA9" "art", 1, ToBytes("Low")), tag::kItemArtist, "Low"},
        {"long text is cut", Item("\xA9nam", 1, Bytes(1500, 'x')), tag::kItemTitle, std::string(1024, 'x')},
        {"unknown item", Item("\xA9xyz", 1, ToBytes("No")), tag::kItemTitle, "<-5>"},
        {"short trkn", Item("trkn", 0, Be16(5)), tag::kItemTrack, "<-3>"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.expected, Text(itemsFile(row.items), kMp4KindAudio, row.itemType));
    }
    // Free-form items: "gnid" and the empty name are the lookup identifier, other names are not.
    auto freeform = [&](const std::string& name) {
        return itemsFile(Box("----", Cat({FullBox("mean", ToBytes("com.apple.iTunes")), FullBox("name", ToBytes(name)),
                                          Box("data", Cat({Be32(1), Be32(0), ToBytes("ID-9")}))})));
    };
    for (const std::string& name : {std::string("gnid"), std::string(""), std::string("UFID"),
                                    std::string("iTunNORM"), std::string("gnidx")}) {
        SCOPED_TRACE(name);
        const bool lookup = name == "gnid" || name.empty() || name == "UFID";
        const Bytes file = freeform(name);
        std::unique_ptr<CTagReader> reader(Mp4ReaderOver(file, kMp4KindAudio));
        ASSERT_TRUE(reader);
        uint32_t offset, size;
        EXPECT_EQ(lookup ? 0 : tag::kNotFound, reader->FindLookupId(&offset, &size));
        if (lookup) {
            EXPECT_EQ(4u, size);
        }
    }
    // "covr" data types 13 and 14 are JPEG and PNG; any other is 255.
    const Bytes covers = itemsFile(Box("covr", Cat({Box("data", Cat({Be32(13), Be32(0), Bytes(5, 1)})),
                                                    Box("data", Cat({Be32(14), Be32(0), Bytes(6, 2)})),
                                                    Box("data", Cat({Be32(27), Be32(0), Bytes(7, 3)}))})));
    std::unique_ptr<CTagReader> reader(Mp4ReaderOver(covers, kMp4KindAudio));
    ASSERT_TRUE(reader);
    const int32_t formats[] = {tag::kImageJpeg, tag::kImagePng, tag::kImageOther};
    for (int32_t index = 0; index < 3; ++index) {
        uint32_t offset, size;
        uint8_t type;
        int32_t format;
        ASSERT_EQ(0, reader->GetPictureInfo(tag::kPictureAnyType, index, &offset, &size, &type, &format));
        EXPECT_EQ(formats[index], format);
        EXPECT_EQ(uint32_t(5 + index), size);
        EXPECT_EQ(index + 1, covers[offset]);
    }
}

TEST(Mp4Reader, AssetBoxesOf3gp) {
    auto assets = [](const Bytes& boxes) {
        MovieParts parts;
        parts.moovExtra = Box("udta", boxes);
        return Movie(parts);
    };
    auto asset = [](const std::string& type, const Bytes& text) { return FullBox(type, Cat({Be16(0x15C7), text})); };
    int32_t encoding = 0;
    // An album closed by its terminator and followed by a track byte.
    const Bytes album = assets(asset("albm", Cat({ToBytes("Greatest"), Bytes{0, 7}})));
    EXPECT_EQ("Greatest", Text(album, kMp4Kind3gp, tag::kItemAlbum));
    EXPECT_EQ("7", Text(album, kMp4Kind3gp, tag::kItemTrack));
    // Without a terminator the last letter stays part of the album, and there is no track.
    const Bytes unterminated = assets(asset("albm", ToBytes("Greatest")));
    EXPECT_EQ("Greatest", Text(unterminated, kMp4Kind3gp, tag::kItemAlbum));
    EXPECT_EQ("<-5>", Text(unterminated, kMp4Kind3gp, tag::kItemTrack));
    const Bytes utf16 = assets(asset("titl", Bytes{0xFF, 0xFE, 'T', 0, 'i', 0, 0, 0}));
    EXPECT_EQ(std::string("\xFF\xFET\0i\0", 6), Text(utf16, kMp4Kind3gp, tag::kItemTitle, &encoding));
    EXPECT_EQ(tag::kEncodingUtf16LeMarked, encoding);
    const Bytes bigEndian = assets(asset("perf", Bytes{0xFE, 0xFF, 0, 'P', 0, 0}));
    EXPECT_EQ(std::string("\xFE\xFF\0P", 4), Text(bigEndian, kMp4Kind3gp, tag::kItemArtist, &encoding));
    EXPECT_EQ(tag::kEncodingUtf16BeMarked, encoding);
    EXPECT_EQ("2008", Text(assets(FullBox("yrrc", Be16(2008))), kMp4Kind3gp, tag::kItemYear));
    // A type outside the asset set is no asset, and assets mean nothing to the M4A kind.
    EXPECT_EQ("<-5>", Text(assets(asset("auth", ToBytes("A"))), kMp4Kind3gp, tag::kItemArtist));
    EXPECT_EQ("<-5>", Text(album, kMp4KindAudio, tag::kItemAlbum));
}

TEST(Mp4Reader, SampleEntriesTrackKindsAndProfiles) {
    const Bytes movie = Fixture("atomicparsley-id32.mp4");
    CTagParser* parser = nullptr;
    ASSERT_EQ(0, CreateMp4Reader(new CTagMemoryStream(movie.data(), uint32_t(movie.size())), &parser, 1, true));
    std::unique_ptr<CMp4Reader> reader(static_cast<CMp4Reader*>(parser));
    struct Seen {
        int vmhd = 0;
        Mp4VisualEntry visual{};
        Mp4AudioEntry audio{};
    } seen;
    reader->SetVmhdHandler([](void* context) { return ++static_cast<Seen*>(context)->vmhd, 0; }, &seen);
    reader->SetVideoEntryHandler(
        [](void* context, const Mp4VisualEntry* entry) { return static_cast<Seen*>(context)->visual = *entry, 0; },
        &seen);
    reader->SetAudioEntryHandler(
        [](void* context, const Mp4AudioEntry* entry) { return static_cast<Seen*>(context)->audio = *entry, 0; },
        &seen);
    ASSERT_EQ(0, reader->Parse());
    EXPECT_EQ(1, seen.vmhd);
    EXPECT_EQ(64, seen.visual.width);
    EXPECT_EQ(48, seen.visual.height);
    EXPECT_EQ(24, seen.visual.depth);
    EXPECT_EQ(44100u, seen.audio.sampleRate >> 16);
    EXPECT_EQ(2, seen.audio.channelCount);

    // Profile boxes of our own "uuid" type; a handler's stop value ends the parse.
    MovieParts parts;
    Bytes vprf = FullBox("VPRF", Cat({Be32(7), ToBytes("avc1"), Be32(0x004D0000), Bytes(28, 0)}));
    Bytes aprf = FullBox("APRF", Cat({Be32(8), ToBytes("mp4a"), Be32(0x200), Bytes(20, 0)}));
    parts.trailer = UuidBox(mp4::kProfileUserType, Cat({Bytes(8, 0), vprf, aprf}));
    const Bytes profiled = Movie(parts);
    ASSERT_EQ(0, CreateMp4Reader(new CTagMemoryStream(profiled.data(), uint32_t(profiled.size())), &parser, 1, true));
    reader.reset(static_cast<CMp4Reader*>(parser));
    struct Profiles {
        Mp4VideoProfile video{};
        Mp4AudioProfile audio{};
    } profiles;
    reader->SetVideoProfileHandler(
        [](void* context, const Mp4VideoProfile* p) { return static_cast<Profiles*>(context)->video = *p, 0; },
        &profiles);
    reader->SetAudioProfileHandler(
        [](void* context, const Mp4AudioProfile* p) { return static_cast<Profiles*>(context)->audio = *p, 2; },
        &profiles);
    EXPECT_EQ(2, reader->Parse());
    EXPECT_EQ(7u, profiles.video.value);
    EXPECT_EQ(0, memcmp(profiles.video.code, "avc1", 4));
    EXPECT_EQ(77u, (profiles.video.values[0] >> 16) & 0xFF);
    EXPECT_EQ(0, memcmp(profiles.audio.code, "mp4a", 4));
    EXPECT_EQ(2u, (profiles.audio.values[0] >> 8) & 0x1F);
}

TEST(Mp4Reader, FactoryChecks) {
    const Bytes movie = Movie(MovieParts());
    bool deleted = false;
    CTagParser* parser = nullptr;
    EXPECT_EQ(tag::kInvalidArgument,
              CreateMp4Reader(new tagtest::CTrackedStream(movie.data(), uint32_t(movie.size()), &deleted), &parser, 3,
                              true));
    EXPECT_TRUE(deleted);
    deleted = false;
    EXPECT_EQ(tag::kInvalidArgument,
              CreateMp4Reader(new tagtest::CTrackedStream(movie.data(), uint32_t(movie.size()), &deleted), nullptr, 1,
                              true));
    EXPECT_TRUE(deleted);
    EXPECT_EQ(tag::kInvalidArgument, CreateMp4Reader(nullptr, &parser, 1, true));
}
