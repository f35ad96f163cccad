// The ASF reader over files written by ffmpeg and mutagen, sample files, and objects built in
// memory for the edge cases and broken inputs.
#include <gtest/gtest.h>

#include <memory>

#include "library/media/tags/AsfObjectHeader.h"
#include "library/media/tags/TagFactories.h"
#include "library/media/tags/TagTypes.h"
#include "tests/tags/AsfTestSupport.h"
#include "tests/tags/TagTextDecode.h"

using namespace asftest;
using tagtest::DecodedTextItem;
using tagtest::TextItem;
using tagtest::ToBytes;
using namespace std::string_literals;

namespace {

std::string Text(const Bytes& file, int32_t itemType, int32_t* encoding = nullptr) {
    int32_t result;
    std::unique_ptr<CTagReader> reader(AsfReaderOver(file, &result));
    if (!reader) return "<open " + std::to_string(result) + ">";
    return TextItem(*reader, itemType, encoding);
}

uint32_t Pictures(CTagReader& reader, uint8_t type) {
    uint32_t count = 99;
    EXPECT_EQ(0, reader.CountPictures(type, &count));
    return count;
}

Bytes PictureBytes(CTagReader& reader, uint8_t type, int32_t index, int32_t* format = nullptr) {
    uint32_t offset, size;
    uint8_t foundType;
    int32_t foundFormat;
    if (reader.GetPictureInfo(type, index, &offset, &size, &foundType, &foundFormat) != 0) return {};
    if (format) *format = foundFormat;
    Bytes image(size);
    EXPECT_EQ(0, reader.ReadObjectData(offset, size, 0, image.data(), size));
    return image;
}

Bytes LookupId(CTagReader& reader) {
    uint32_t offset, size;
    if (reader.FindLookupId(&offset, &size) != 0) return {};
    Bytes id(size);
    EXPECT_EQ(0, reader.ReadObjectData(offset, size, 0, id.data(), size));
    return id;
}

const std::string kLongTitle(512, 'T');  // what 1,024 bytes of the 3,000-byte title decode to

struct FixtureRow {
    const char* file;
    const char* artist;
    const char* title;
    const char* album;
    const char* albumArtist;
    const char* genre;
    const char* year;
    const char* track;
    uint32_t pictures;
    uint32_t frontCovers;
    uint32_t moodSize;
};

const FixtureRow kFixtures[] = {
    {"ffmpeg.wma", "Ffmpeg Artist", "Ffmpeg Title", "Ffmpeg Album", "Ffmpeg Band", "Jazz", "<-5>", "3", 0, 0, 0},
    {"ffmpeg.wmv", "Video Artist", "Video Title", "<-5>", "<-5>", "Clips", "<-5>", "<-5>", 0, 0, 0},
    {"plain.wma", "<-5>", "<-5>", "<-5>", "<-5>", "<-5>", "<-5>", "<-5>", 0, 0, 0},
    {"mutagen.wma", "Mutagen Artist", kLongTitle.c_str(), "Mutagen Album", "Mutagen Band", "Blues", "1999", "7", 3, 2,
     512},
    {"real_example.wma", "Shoji Meguro", "Wake Up, Get Up, Get Out There", "Persona 5: Sounds of Rebellion",
     "Shoji Meguro", "Alternative", "<-5>", "1", 0, 0, 0},
    {"silence-1.wma", "", "test", "<-5>", "<-5>", "<-5>", "<-5>", "<-5>", 0, 0, 0},
    {"lossless.wma", "<-5>", "<-5>", "<-5>", "<-5>", "<-5>", "<-5>", "<-5>", 0, 0, 0},
};

}  // namespace

TEST(AsfReader, FilesOfToolsAndSamplesReadBack) {
    for (const FixtureRow& row : kFixtures) {
        SCOPED_TRACE(row.file);
        const std::string path = tagtest::FixturePath(std::string("asf/") + row.file);
        // Through the opener by type, as the probe helpers reach it.
        std::unique_ptr<CTagReader> reader(OpenTagReaderForPath(path.c_str(), kTagReaderAsf));
        ASSERT_TRUE(reader);
        EXPECT_EQ(row.artist, DecodedTextItem(*reader, tag::kItemArtist));
        EXPECT_EQ(row.title, DecodedTextItem(*reader, tag::kItemTitle));
        EXPECT_EQ(row.album, DecodedTextItem(*reader, tag::kItemAlbum));
        EXPECT_EQ(row.albumArtist, DecodedTextItem(*reader, tag::kItemAlbumArtist));
        EXPECT_EQ(row.genre, DecodedTextItem(*reader, tag::kItemGenre));
        EXPECT_EQ(row.year, DecodedTextItem(*reader, tag::kItemYear));
        EXPECT_EQ(row.track, DecodedTextItem(*reader, tag::kItemTrack));
        EXPECT_EQ("<-5>", TextItem(*reader, tag::kItemOther));
        EXPECT_EQ(row.pictures, Pictures(*reader, tag::kPictureAnyType));
        EXPECT_EQ(row.frontCovers, Pictures(*reader, tag::kPictureFrontCover));
        EXPECT_EQ(row.moodSize, tagtest::MoodPayload(*reader).size());
    }
}

// The mutagen file: a 3,000-byte title cut to 1,024 bytes with the author after it intact, a DWORD
// track number as text, the mood payload behind its head, pictures from both objects with their
// bytes and formats, and the lookup identifier.
TEST(AsfReader, MutagenFileDetails) {
    const Bytes file = Fixture("mutagen.wma");
    std::unique_ptr<CTagReader> reader(AsfReaderOver(file));
    ASSERT_TRUE(reader);
    int32_t encoding = -7;
    EXPECT_EQ(1024u, TextItem(*reader, tag::kItemTitle, &encoding).size());
    EXPECT_EQ(tag::kEncodingUtf16LeNoMark, encoding);
    EXPECT_EQ("7", TextItem(*reader, tag::kItemTrack, &encoding));
    EXPECT_EQ(tag::kEncodingAnsi, encoding);
    Bytes payload;
    for (int i = 0; i < 512; ++i) payload.push_back(uint8_t(i));
    EXPECT_EQ(payload, tagtest::MoodPayload(*reader));
    // mutagen keeps the header extension (with the metadata library) in front of the extended
    // content description it adds, so file order gives the library's front cover first.
    int32_t format = -7;
    EXPECT_EQ(Fixture("cover.png"), PictureBytes(*reader, tag::kPictureFrontCover, 0, &format));
    EXPECT_EQ(tag::kImagePng, format);
    EXPECT_EQ(Fixture("cover.jpg"), PictureBytes(*reader, tag::kPictureFrontCover, 1, &format));
    EXPECT_EQ(tag::kImageJpeg, format);
    EXPECT_EQ(Fixture("cover.gif"), PictureBytes(*reader, tag::kPictureLyrics, 0, &format));
    EXPECT_EQ(tag::kImageOther, format);
    EXPECT_EQ(Utf16("LOOKUP-0042"), LookupId(*reader));
}

TEST(AsfReader, TextEncodingsAndNames) {
    const Bytes author = Utf16("Author", false);
    struct Row {
        Bytes title;
        int32_t encoding;
    } rows[] = {
        {Cat({{0xFF, 0xFE}, Utf16("Marked")}), tag::kEncodingUtf16LeMarked},
        {Cat({{0xFE, 0xFF}, {0, 'B', 0, 'E'}}), tag::kEncodingUtf16BeMarked},
        {Utf16("Plain"), tag::kEncodingUtf16LeNoMark},
        {{'x'}, tag::kEncodingUtf16LeNoMark},
    };
    for (const Row& row : rows) {
        const Bytes file = File({ContentDescription(row.title, author, Utf16("(c)"), Utf16("d"), Utf16("r"))});
        int32_t encoding = -7;
        EXPECT_EQ(std::string(row.title.begin(), row.title.end()), Text(file, tag::kItemTitle, &encoding));
        EXPECT_EQ(row.encoding, encoding);
        EXPECT_EQ("A\0u\0t\0h\0o\0r\0"s, Text(file, tag::kItemArtist));
    }
    // Names match only in their own letter case and with the terminating unit counted.
    const Bytes file = File({ExtendedContentDescription({
        Descriptor(Utf16("wm/genre"), 0, Utf16("Lower")),
        Descriptor(Utf16("WM/Genre", false), 0, Utf16("Unterminated")),
        Descriptor(Utf16("WM/AlbumTitle"), 1, Utf16("Bytes as text")),
        Descriptor(Utf16("WM/Year"), 0, Cat({{0xFF, 0xFE}, Utf16("2001")})),
    })});
    EXPECT_EQ("<-5>", Text(file, tag::kItemGenre));
    std::unique_ptr<CTagReader> reader(AsfReaderOver(file));
    ASSERT_TRUE(reader);
    EXPECT_EQ("Bytes as text", DecodedTextItem(*reader, tag::kItemAlbum));
    int32_t encoding;
    TextItem(*reader, tag::kItemYear, &encoding);
    EXPECT_EQ(tag::kEncodingUtf16LeMarked, encoding);
    EXPECT_EQ("2001", DecodedTextItem(*reader, tag::kItemYear));
}

TEST(AsfReader, TrackNumberByDataType) {
    struct Row {
        uint16_t dataType;
        Bytes value;
        std::string text;
        int32_t encoding;
    } rows[] = {
        {3, Le32(7), "7", tag::kEncodingAnsi},
        {3, Le32(4000000000u), "4000000000", tag::kEncodingAnsi},
        {0, Utf16("12/20"), std::string("1\0002\0/\0002\0000\0\0\0", 12), tag::kEncodingUtf16LeNoMark},
        {2, Le32(1), "<-5>", 0},       // a bool is no track number
        {3, Le16(7), "<-5>", 0},       // nor a DWORD of the wrong length
        {5, Le16(7), "<-5>", 0},       // nor a WORD
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const Bytes file = File({ExtendedContentDescription({Descriptor(Utf16("WM/TrackNumber"), row.dataType, row.value)})});
        int32_t encoding = 0;
        EXPECT_EQ(row.text, Text(file, tag::kItemTrack, &encoding));
        EXPECT_EQ(row.encoding, encoding);
    }
}

// Mood data and pictures in both objects, in file order; text items and the lookup identifier
// count only in the extended content description.
TEST(AsfReader, ObjectsOfBothLists) {
    const Bytes head = ToBytes(std::string("\0Application/VEXAL\0\0USR_VEXAL\0", 30));
    const Bytes otherHead = ToBytes(std::string("\0APPLICATION/VEXAL\0\0other\0", 26));
    const Bytes file = File({
        FileProperties(0),
        ExtendedContentDescription({
            Descriptor(Utf16("VEXAL"), 1, ToBytes("bare payload")),
            Descriptor(Utf16("WM/Picture"), 1, PictureValue(3, "image/jpeg", ToBytes("jpeg-1"))),
            Descriptor(Utf16("WM/Picture"), 1, Bytes{3, 50, 0, 0, 0, 'x', 0, 0, 0, 0, 0}),  // longer than its value
            Descriptor(Utf16("GN/UniqueFileIdentifier"), 0, ToBytes("id-1")),
            Descriptor(Utf16("GN/UniqueFileIdentifier"), 0, ToBytes("id-2")),
        }),
        HeaderExtension({MetadataLibrary({
            Record(Utf16("VEXAL"), 1, Cat({head, ToBytes("after head")})),
            Record(Utf16("WM/Picture"), 1, PictureValue(129, "IMAGE/PNG", ToBytes("png-2")), 0, 1),
            Record(Utf16("VEXAL"), 1, Cat({otherHead, ToBytes("lenient")})),
            Record(Utf16("WM/Genre"), 0, Utf16("Library genre")),
            Record(Utf16("GN/UniqueFileIdentifier"), 0, ToBytes("id-3")),
        })}),
    });
    std::unique_ptr<CTagReader> reader(AsfReaderOver(file));
    ASSERT_TRUE(reader);
    EXPECT_EQ(ToBytes("bare payload"), tagtest::MoodPayload(*reader, 0));
    EXPECT_EQ(ToBytes("after head"), tagtest::MoodPayload(*reader, 1));
    EXPECT_EQ(ToBytes("lenient"), tagtest::MoodPayload(*reader, 2));
    EXPECT_EQ(Bytes(), tagtest::MoodPayload(*reader, 3));
    EXPECT_EQ(2u, Pictures(*reader, tag::kPictureAnyType));
    EXPECT_EQ(ToBytes("jpeg-1"), PictureBytes(*reader, tag::kPictureAnyType, 0));
    int32_t format;
    EXPECT_EQ(ToBytes("png-2"), PictureBytes(*reader, tag::kPictureThumbnail, 0, &format));
    EXPECT_EQ(tag::kImagePng, format);
    EXPECT_EQ("<-5>", TextItem(*reader, tag::kItemGenre));
    EXPECT_EQ(ToBytes("id-1"), LookupId(*reader));
}

TEST(AsfReader, BrokenInputsGiveErrorCodes) {
    const Bytes good = File({ContentDescription(Utf16("T"), Utf16("A"))});
    Bytes tooSmall = good;
    tooSmall[16] = 23;  // header object smaller than its own header
    Bytes huge = good;
    huge[20] = 1;  // 4 GiB more: positions beyond 32 bits are refused, not cut
    Bytes childOverrun = good;
    childOverrun[30 + 16] = 200;  // the content description runs past the header object
    Bytes lengthsOverrun = good;
    lengthsOverrun[30 + 24] = 40;  // a title longer than the object
    Bytes extension = File({HeaderExtension({MetadataLibrary({Record(Utf16("VEXAL"), 1, ToBytes("x"))})})});
    extension[30 + 24 + 18] = 0xFF;  // data size past the object
    Bytes record = File({HeaderExtension({MetadataLibrary({Record(Utf16("VEXAL"), 1, ToBytes("x"))})})});
    record[30 + 46 + 24 + 2 + 8] = 0x7F;  // record data length past the object
    Bytes descriptor = File({ExtendedContentDescription({Descriptor(Utf16("WM/Genre"), 0, Utf16("G"))})});
    descriptor[30 + 24 + 2] = 0xF0;  // name length past the object

    struct Row {
        const char* name;
        Bytes file;
        int32_t titleResult;
        int32_t moodResult;
    } rows[] = {
        {"size below 24", tooSmall, -3, -3},
        {"4 GiB object", huge, -3, -3},
        {"child past its parent", childOverrun, -3, -3},
        {"strings past the object", lengthsOverrun, -3, -5},
        {"extension data past the object", extension, -3, -3},
        {"record past the object", record, -3, -3},
        {"descriptor name past the object", descriptor, -3, -3},
        {"header object cut short", Bytes(good.begin(), good.begin() + 60), -3, -3},
        {"media cut short", Bytes(good.begin(), good.end() - 1), 0, -5},
        {"object header cut short", Bytes(good.begin(), good.begin() + 20), -3, -3},
        {"trailing bytes", Cat({good, Bytes(10, 0)}), 0, -3},  // the title is found before them
        {"empty", Bytes(), -5, -5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::unique_ptr<CTagReader> reader(AsfReaderOver(row.file));
        ASSERT_TRUE(reader);
        uint32_t size = 0;
        int32_t encoding;
        EXPECT_EQ(row.titleResult, reader->GetTextItem(tag::kItemTitle, nullptr, &size, &encoding));
        uint32_t offset;
        EXPECT_EQ(row.moodResult, reader->FindMoodData(0, &offset, &size));
    }
    // Every cut of a real file fails cleanly.
    const Bytes sample = Fixture("mutagen.wma");
    for (size_t cut = 0; cut < 8000; cut += 37) {
        const Bytes cutFile(sample.begin(), sample.begin() + cut);
        std::unique_ptr<CTagReader> reader(AsfReaderOver(cutFile));
        ASSERT_TRUE(reader);
        uint32_t count;
        const int32_t result = reader->CountPictures(tag::kPictureAnyType, &count);
        EXPECT_TRUE(result == 0 || result == -3 || result == -8) << cut << ": " << result;
    }
}

TEST(AsfReader, FactoryArguments) {
    CTagParser* parser = nullptr;
    EXPECT_EQ(-2, CreateAsfReader(nullptr, &parser, true));
    bool deleted = false;
    const Bytes file = File({});
    EXPECT_EQ(-2, CreateAsfReader(new tagtest::CTrackedStream(file.data(), uint32_t(file.size()), &deleted), nullptr, true));
    EXPECT_TRUE(deleted);
}
