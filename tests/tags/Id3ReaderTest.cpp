#include <gtest/gtest.h>

#include <memory>

#include "library/media/tags/Id3FrameFields.h"
#include "library/media/tags/TagFactories.h"
#include "library/media/tags/TagTypes.h"
#include "tests/tags/TagTestSupport.h"
#include "tests/tags/TagTextDecode.h"

using namespace tagtest;

TEST(Id3Reader, ReadsTheItemsOfEveryVersion) {
    struct Case {
        uint16_t version;
        std::vector<Frame> frames;
    } cases[] = {
        {0x0200, {{"TT2", TextBody(0, ToBytes("Title"))}, {"TP1", TextBody(0, ToBytes("Artist"))},
                  {"TAL", TextBody(0, ToBytes("Album"))}, {"TCO", TextBody(0, ToBytes("Genre"))},
                  {"TYE", TextBody(0, ToBytes("Year"))}, {"TRK", TextBody(0, ToBytes("Track"))}}},
        {0x0300, {{"TIT2", TextBody(0, ToBytes("Title"))}, {"TPE1", TextBody(0, ToBytes("Artist"))},
                  {"TALB", TextBody(0, ToBytes("Album"))}, {"TCON", TextBody(0, ToBytes("Genre"))},
                  {"TYER", TextBody(0, ToBytes("Year"))}, {"TRCK", TextBody(0, ToBytes("Track"))}}},
        {0x0301, {{"TIT2", TextBody(0, ToBytes("Title"))}, {"TPE1", TextBody(0, ToBytes("Artist"))},
                  {"TALB", TextBody(0, ToBytes("Album"))}, {"TCON", TextBody(0, ToBytes("Genre"))},
                  {"TYER", TextBody(0, ToBytes("Year"))}, {"TRCK", TextBody(0, ToBytes("Track"))}}},
        {0x0400, {{"TIT2", TextBody(0, ToBytes("Title"))}, {"TPE1", TextBody(0, ToBytes("Artist"))},
                  {"TALB", TextBody(0, ToBytes("Album"))}, {"TCON", TextBody(0, ToBytes("Genre"))},
                  {"TYER", TextBody(0, ToBytes("Year"))}, {"TRCK", TextBody(0, ToBytes("Track"))}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.version);
        Bytes file = BuildTag(c.version, c.frames, 20, FakeAudio());
        std::unique_ptr<CTagReader> reader(ReaderOver(file));
        ASSERT_TRUE(reader);
        EXPECT_EQ("Title", TextItem(*reader, tag::kItemTitle));
        EXPECT_EQ("Artist", TextItem(*reader, tag::kItemArtist));
        EXPECT_EQ("Album", TextItem(*reader, tag::kItemAlbum));
        EXPECT_EQ("Genre", TextItem(*reader, tag::kItemGenre));
        EXPECT_EQ("Year", TextItem(*reader, tag::kItemYear));
        EXPECT_EQ("Track", TextItem(*reader, tag::kItemTrack));
        EXPECT_EQ("<-5>", TextItem(*reader, tag::kItemAlbumArtist));
    }
    std::unique_ptr<CTagReader> reader(ReaderOver(BuildTag(0x0500, {}, 10)));
    EXPECT_FALSE(reader);
}

TEST(Id3Reader, MapsTextEncodings) {
    struct Case {
        uint8_t encodingByte;
        Bytes data;
        int32_t encoding;
    } cases[] = {
        {0, {'a', 'b'}, tag::kEncodingAnsi},
        {3, {0xC3, 0xA4}, tag::kEncodingUtf8},
        {2, {0, 'a'}, tag::kEncodingUtf16BeNoMark},
        {1, {0xFE, 0xFF, 0, 'a'}, tag::kEncodingUtf16BeMarked},
        {1, {0xFF, 0xFE, 'a', 0}, tag::kEncodingUtf16LeMarked},
        {1, {0, 'a'}, tag::kEncodingUtf16BeNoMark},
        {1, {'a'}, tag::kEncodingUtf16BeNoMark},
        {7, {'a'}, tag::kEncodingUndefined},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.encodingByte));
        Bytes file = BuildTag(0x0300, {{"TPE1", TextBody(c.encodingByte, c.data)}});
        std::unique_ptr<CTagReader> reader(ReaderOver(file));
        ASSERT_TRUE(reader);
        int32_t encoding = 99;
        EXPECT_EQ(std::string(c.data.begin(), c.data.end()), TextItem(*reader, tag::kItemArtist, &encoding));
        EXPECT_EQ(c.encoding, encoding);
    }
}

TEST(Id3Reader, FindsTheTagOrRecognisesAudio) {
    Bytes tagged = BuildTag(0x0300, {{"TIT2", TextBody(0, ToBytes("after zeros"))}});
    Bytes zeros(37, 0);
    zeros.insert(zeros.end(), tagged.begin(), tagged.end());
    std::unique_ptr<CTagReader> reader(ReaderOver(zeros));
    ASSERT_TRUE(reader);
    EXPECT_EQ("after zeros", TextItem(*reader, tag::kItemTitle));

    struct Case {
        Bytes start;
        int32_t result;
    } cases[] = {
        {{0xFF, 0xFB, 0x90, 0x64, 0, 0, 0, 0, 0, 0, 0}, 0},  // MPEG-1 layer III
        {{0xFF, 0xE3, 0x90, 0x64, 0, 0, 0, 0, 0, 0, 0}, 0},  // MPEG-2.5
        {{0xFF, 0xF1, 0x50, 0x80, 0, 0, 0, 0, 0, 0, 0}, -3},  // ADTS: layer bits clear
        {{'I', 'D', '4', 3, 0, 0, 0, 0, 0, 0, 0}, -3},
        {{'e', 'a', '3', 3, 0, 0, 0, 0, 0, 0, 0}, 0},
        {{'e', 'x', '3', 3, 0, 0, 0, 0, 0, 0, 0}, -3},
        {{'R', 'I', 'F', 'F', 0, 0, 0, 0, 0, 0, 0}, -3},
        {{0, 0, 0, 0}, -8},
        {{'I', 'D', '3', 3}, -8},
    };
    for (const Case& c : cases) {
        int32_t result = 99;
        std::unique_ptr<CTagReader> r(ReaderOver(c.start, &result));
        EXPECT_EQ(c.result, result) << int(c.start[0]) << " " << int(c.start[1]);
        if (r) {
            EXPECT_EQ("<-5>", TextItem(*r, tag::kItemTitle));
        }
    }
}

TEST(Id3Reader, ReportsTheFirst1024BytesOfALongText) {
    Bytes text(5000);
    for (size_t i = 0; i < text.size(); ++i) text[i] = uint8_t('a' + i % 26);
    Bytes file = BuildTag(0x0400, {{"TALB", TextBody(0, text)}});
    std::unique_ptr<CTagReader> reader(ReaderOver(file));
    ASSERT_TRUE(reader);
    EXPECT_EQ(std::string(text.begin(), text.begin() + 1024), TextItem(*reader, tag::kItemAlbum));
}

TEST(Id3Reader, PictureHeaders) {
    Bytes v22Body = {0, 'P', 'N', 'G', 128, 'd', 'e', 's', 'c', 0, 'I', 'M', 'G'};
    Bytes utf16Description = {1, 'i', 'm', 'a', 'g', 'e', '/', 'j', 'p', 'e', 'g', 0, 3, 0xFF, 0xFE, 'x', 0, 0, 0, 'J'};
    Bytes utf8Description = {3, 'i', 'm', 'a', 'g', 'e', '/', 'p', 'n', 'g', 0, 3, 0xC3, 0xA4, 0, 'P'};
    struct Case {
        uint16_t version;
        Frame frame;
        int32_t result;
        Bytes image;
        uint8_t type;
        int32_t format;
    } cases[] = {
        {0x0200, {"PIC", v22Body}, 0, ToBytes("IMG"), 128, tag::kImagePng},
        {0x0300, {"APIC", utf16Description}, 0, ToBytes("J"), 3, tag::kImageJpeg},
        {0x0400, {"APIC", utf8Description}, 0, ToBytes("P"), 3, tag::kImagePng},
        {0x0300, {"APIC", ApicBody("IMAGE/JPEG", 4, ToBytes("x"))}, 0, ToBytes("x"), 4, tag::kImageOther},
        {0x0300, {"APIC", ApicBody(std::string(31, 'm'), 4, ToBytes("x"))}, 0, ToBytes("x"), 4, tag::kImageOther},
        {0x0300, {"APIC", ApicBody(std::string(32, 'm'), 4, ToBytes("x"))}, -3, {}, 0, 0},
        {0x0300, {"APIC", {0, 'i', 'm', 'a', 'g', 'e', 0, 3, 'n', 'o', 'e', 'n', 'd'}}, -3, {}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame.body.size());
        Bytes file = BuildTag(c.version, {c.frame}, 0, FakeAudio(50));
        std::unique_ptr<CTagReader> reader(ReaderOver(file));
        ASSERT_TRUE(reader);
        uint32_t offset, size;
        uint8_t type;
        int32_t format;
        ASSERT_EQ(c.result, reader->GetPictureInfo(255, 0, &offset, &size, &type, &format));
        if (c.result != 0) continue;
        EXPECT_EQ(c.image, Bytes(file.begin() + offset, file.begin() + offset + size));
        EXPECT_EQ(c.type, type);
        EXPECT_EQ(c.format, format);
    }
}

TEST(Id3Reader, LookupIdOnlyFromTheServiceOwners) {
    struct Case {
        std::string owner;
        bool found;
    } cases[] = {{id3::kLookupOwner, true}, {id3::kLookupOwnerOld, true}, {"supermihi@web.de", false},
                 {std::string(id3::kLookupOwner) + "x", false}};
    for (const Case& c : cases) {
        Bytes file = BuildTag(0x0300, {{"UFID", UfidBody("other", ToBytes("no"))}, {"UFID", UfidBody(c.owner, ToBytes("ID"))}});
        std::unique_ptr<CTagReader> reader(ReaderOver(file));
        ASSERT_TRUE(reader);
        uint32_t offset, size;
        EXPECT_EQ(c.found ? 0 : tag::kNotFound, reader->FindLookupId(&offset, &size)) << c.owner;
        if (c.found) {
            EXPECT_EQ(ToBytes("ID"), Bytes(file.begin() + offset, file.begin() + offset + size));
        }
    }
    Bytes unterminated = BuildTag(0x0300, {{"UFID", Bytes(2000, 'o')}});
    std::unique_ptr<CTagReader> reader(ReaderOver(unterminated));
    uint32_t offset, size;
    EXPECT_EQ(tag::kMalformed, reader->FindLookupId(&offset, &size));
}

// Frames that run past the tag, or a tag that claims more than the file holds, end the walk
// without reading past what is there.
TEST(Id3Reader, StopsAtFramesThatOverrunTheTag) {
    Bytes file = BuildTag(0x0300, {{"TIT2", TextBody(0, ToBytes("kept"))}, {"TPE1", TextBody(0, ToBytes("cut"))}});
    file[10 + 11 + 7] = 0x7F;  // TPE1's size: far beyond the tag
    std::unique_ptr<CTagReader> reader(ReaderOver(file));
    ASSERT_TRUE(reader);
    EXPECT_EQ("kept", TextItem(*reader, tag::kItemTitle));
    EXPECT_EQ("<-5>", TextItem(*reader, tag::kItemArtist));

    Bytes truncated = BuildTag(0x0400, {{"TIT2", TextBody(0, ToBytes("whole"))}}, 500);
    truncated.resize(40);
    reader.reset(ReaderOver(truncated));
    ASSERT_TRUE(reader);
    EXPECT_EQ("whole", TextItem(*reader, tag::kItemTitle));
}

TEST(Id3Reader, SkipsCompressedAndEncryptedFrames) {
    Bytes file = BuildTag(0x0300, {{"TIT2", TextBody(0, ToBytes("zlib")), 0x0080}, {"TIT2", TextBody(0, ToBytes("plain"))}});
    std::unique_ptr<CTagReader> reader(ReaderOver(file));
    ASSERT_TRUE(reader);
    EXPECT_EQ("plain", TextItem(*reader, tag::kItemTitle));
    file = BuildTag(0x0400, {{"TIT2", TextBody(0, ToBytes("crypt")), 0x0004}});
    reader.reset(ReaderOver(file));
    EXPECT_EQ("<-5>", TextItem(*reader, tag::kItemTitle));
}

TEST(Id3Reader, UndoesUnsynchronisationAndSkipsExtendedHeaders) {
    // ID3v2.3: the whole tag, extended header included, is unsynchronised.
    Bytes body = {0, 0, 0, 6, 0, 0, 0, 0, 0, 0,  // extended header: 6 bytes after its size
                  'T', 'I', 'T', '2', 0, 0, 0, 5, 0, 0, 1, 0xFF, 0x00, 0xFE, 'A', 0};  // 5 bytes once undone
    Bytes file = {'I', 'D', '3', 3, 0, 0xC0, 0, 0, 0, uint8_t(body.size())};
    file.insert(file.end(), body.begin(), body.end());
    std::unique_ptr<CTagReader> reader(ReaderOver(file));
    ASSERT_TRUE(reader);
    int32_t encoding;
    EXPECT_EQ(std::string("\xFF\xFE" "A\0", 4), TextItem(*reader, tag::kItemTitle, &encoding));
    EXPECT_EQ(tag::kEncodingUtf16LeMarked, encoding);

    // ID3v2.4: per frame, with a data-length indicator, beside a frame that is left alone.
    Bytes frames = BuildTag(0x0400, {{"TIT2", {0, 0, 0, 7, 1, 0xFF, 0x00, 0xFE, 'B', 0}, 0x0003},
                                     {"TPE1", TextBody(0, {0xFF, 0x00, 'C'})}});
    reader.reset(ReaderOver(frames));
    ASSERT_TRUE(reader);
    EXPECT_EQ(std::string("\xFF\xFE" "B\0", 4), TextItem(*reader, tag::kItemTitle));
    EXPECT_EQ(std::string("\xFF\0C", 3), TextItem(*reader, tag::kItemArtist));
}

TEST(Id3Reader, SampleFiles) {
    struct Case {
        const char* file;
        const char* title;
        const char* artist;
        const char* album;
        const char* genre;
        const char* track;
        uint32_t pictures;
    } cases[] = {
        // Its picture frame's size is a plain 32-bit number, not synchsafe as ID3v2.4 wants.
        {"005411.id3", "Sunshine Superman", "Donovan", "Sunshine Superman", "(80)", "1", 1},
        {"itunes10.mp3", "iTunes10MP3", "Artist", "Album", "Heavy Metal", "1/10", 1},
        {"id3v22-tda.mp3", "<-5>", "<-5>", "<-5>", "<-5>", "1", 0},
        {"ape-id3v2.mp3", "Title", "<-5>", "<-5>", "<-5>", "<-5>", 0},
        {"lame_cbr.mp3", "<-5>", "<-5>", "<-5>", "<-5>", "<-5>", 0},
        {"rare_frames.mp3", "<-5>", "<-5>", "<-5>", "13", "<-5>", 0},  // numeric genres stay as stored
        {"unsynch.id3", "My babe just cares for me", "Nina Simone", "100% Jazz", "<-5>", "03", 0},
        {"unsynch24.id3", "Hi", "<-5>", "<-5>", "<-5>", "<-5>", 0},
        {"extended-header.mp3", "Druids", "Excelsis", "Vo Chrieger U Drache", "Folk/Power Metal", "03", 0},  // cut short
        {"duplicate_id3v2.mp3", "TitleXXXX", "ArtistXXXX", "AlbumXXXX", "<-5>", "<-5>", 0},
        {"broken-tenc.id3", "Take On Me", "A Ha", "1985", "80s", "1", 0},
        {"xing.mp3", "<-5>", "<-5>", "<-5>", "<-5>", "<-5>", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Bytes file = ReadFileBytes(FixturePath(c.file));
        std::unique_ptr<CTagReader> reader(ReaderOver(file));
        ASSERT_TRUE(reader);
        EXPECT_EQ(c.title, DecodedTextItem(*reader, tag::kItemTitle));
        EXPECT_EQ(c.artist, DecodedTextItem(*reader, tag::kItemArtist));
        EXPECT_EQ(c.album, DecodedTextItem(*reader, tag::kItemAlbum));
        EXPECT_EQ(c.genre, DecodedTextItem(*reader, tag::kItemGenre));
        EXPECT_EQ(c.track, DecodedTextItem(*reader, tag::kItemTrack));
        uint32_t pictures = 99;
        EXPECT_EQ(0, reader->CountPictures(255, &pictures));
        EXPECT_EQ(c.pictures, pictures);
    }
}

// Broken and unusual sample files: the reader reads what is readable, the editor refuses a tag it
// could not write back whole, and nothing reads out of bounds (the native build checks that).
TEST(Id3Reader, BrokenSampleFilesGiveResultCodes) {
    struct Case {
        const char* file;
        int32_t reader;
        int32_t editor;
    } cases[] = {
        {"compressed_id3_frame.mp3", 0, -3},          // tag size beyond the file
        {"compressed_id3_frame_invalid.mp3", 0, -3},
        {"excessive_alloc.mp3", 0, -3},
        {"w000.mp3", 0, -3},
        {"garbage.mp3", -3, -3},                      // neither a tag nor an MPEG frame
        {"invalid-frames1.mp3", -3, -3},
        {"invalid-frames2.mp3", -3, -3},
        {"invalid-frames3.mp3", -3, -3},
        {"toc_many_children.mp3", 0, 0},
        {"mpeg2.mp3", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Bytes file = ReadFileBytes(FixturePath(c.file));
        int32_t result = 99;
        std::unique_ptr<CTagReader> reader(ReaderOver(file, &result));
        EXPECT_EQ(c.reader, result);
        if (reader) {
            uint32_t count, offset, size;
            EXPECT_LE(0, reader->CountPictures(255, &count));
            EXPECT_NE(0, reader->FindMoodData(0, &offset, &size));
            DecodedTextItem(*reader, tag::kItemTitle);
        }
        std::unique_ptr<CTagEditor> editor(EditorOver(file, &result));
        EXPECT_EQ(c.editor, result);
        if (editor) {
            Bytes saved = Save(*editor);
            std::unique_ptr<CTagReader> again(ReaderOver(saved));
            EXPECT_TRUE(again);
        }
    }
}
