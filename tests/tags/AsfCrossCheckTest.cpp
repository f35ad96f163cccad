// Cross-checks of the ASF editor with Debian's mutagen and ffmpeg: after our save mutagen reads
// back every value we set, ffmpeg decodes the file without a complaint, and the file properties
// hold the file's size. Native build only: the tools run as child processes.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "library/media/tags/TagFactories.h"
#include "library/media/tags/TagMemoryStream.h"
#include "library/media/tags/TagTypes.h"
#include "tests/tags/AsfTestSupport.h"
#include "tests/tags/ToolRun.h"

using namespace asftest;
using tagtest::ToBytes;

namespace {

// Debian's own interpreter: another python3 earlier on PATH may lack Debian's modules.
std::string Dump(const std::string& path) {
    return tagtest::RunToolOk("/usr/bin/python3 '" + std::string(QB_TEST_DATA_DIR) + "/../tags/mutagen_asf.py' dump '" +
                              path + "'");
}

std::string MutagenAsf(const std::string& arguments) {
    return tagtest::RunToolOk("/usr/bin/python3 '" + std::string(QB_TEST_DATA_DIR) + "/../tags/mutagen_asf.py' " + arguments);
}

// The dump's lines without the size line, sorted: what a tag edit may change, in any order.
std::vector<std::string> AttributeLines(const std::string& dump) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < dump.size();) {
        size_t end = dump.find('\n', at);
        if (end == std::string::npos) end = dump.size();
        const std::string line = dump.substr(at, end - at);
        if (line.compare(0, 5, "size\t") != 0) lines.push_back(line);
        at = end + 1;
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

CTagStream* Stream(const Bytes& bytes) { return new CTagMemoryStream(bytes.data(), uint32_t(bytes.size())); }

}  // namespace

TEST(AsfCrossCheck, SavedFilesReadBackWithMutagenAndDecodeWithFfmpeg) {
    // "Tïtle ♪" in UTF-16BE with its mark: stored as UTF-16LE.
    const Bytes title = {0xFE, 0xFF, 0, 'T', 0, 0xEF, 0, 't', 0, 'l', 0, 'e', 0, ' ', 0x26, 0x6A};
    const Bytes author = Utf16("Cross Artist", false);
    const Bytes album = Cat({{0xFF, 0xFE}, Utf16("Cross Album")});
    const Bytes band = Utf16("Cross Band");
    const Bytes genre = Utf16("Cross Genre");
    const Bytes year = Utf16("2011");
    const Bytes track = Utf16("5");
    const Bytes lookup = Utf16("CROSS-ID-9");
    Bytes mood = ToBytes(std::string("\0Application/VEXAL\0\0USR_VEXAL\0", 30));
    for (int i = 0; i < 300; ++i) mood.push_back(uint8_t(i * 7));
    // A real image that decoders take, grown past what a 16-bit length holds by bytes after its end.
    const Bytes image = Cat({Fixture("cover.png"), Bytes(70000, 0x42)});
    const Bytes pictureValue = Cat({{3}, Le32(uint32_t(image.size())), Utf16("image/png"), Utf16(""), image});

    for (const char* name : {"plain.wma", "mutagen.wma", "ffmpeg.wma", "ffmpeg.wmv", "real_example.wma"}) {
        SCOPED_TRACE(name);
        tagtest::TempDir dir;
        const std::string out = dir.Path(std::string("out-") + name);
        std::unique_ptr<CTagEditor> editor(
            OpenTagEditorByType(tagtest::FixturePath(std::string("asf/") + name).c_str(), kTagReaderAsf));
        ASSERT_TRUE(editor);
        ASSERT_EQ(0, editor->SetItem(tag::kItemTitle, Stream(title), uint32_t(title.size()), tag::kEncodingUtf16BeMarked, 0, true));
        ASSERT_EQ(0, editor->SetItem(tag::kItemArtist, Stream(author), uint32_t(author.size()), tag::kEncodingUtf16LeNoMark, 0, true));
        ASSERT_EQ(0, editor->SetItem(tag::kItemAlbum, Stream(album), uint32_t(album.size()), tag::kEncodingUtf16LeMarked, 0, true));
        ASSERT_EQ(0, editor->SetItem(tag::kItemAlbumArtist, Stream(band), uint32_t(band.size()), tag::kEncodingUtf16LeNoMark, 0, true));
        ASSERT_EQ(0, editor->SetItem(tag::kItemGenre, Stream(genre), uint32_t(genre.size()), tag::kEncodingUtf16LeNoMark, 0, true));
        ASSERT_EQ(0, editor->SetItem(tag::kItemYear, Stream(year), uint32_t(year.size()), tag::kEncodingUtf16LeNoMark, 0, true));
        ASSERT_EQ(0, editor->SetItem(tag::kItemTrack, Stream(track), uint32_t(track.size()), tag::kEncodingUtf16LeNoMark, 0, true));
        ASSERT_EQ(0, editor->SetLookupId(Stream(lookup), uint32_t(lookup.size()), 0, true));
        ASSERT_EQ(0, editor->SetMoodData(Stream(mood), uint32_t(mood.size()), 0, true));
        ASSERT_EQ(0, editor->RemovePicture(tag::kPictureFrontCover, 1));
        ASSERT_EQ(0, editor->SetPicture(Stream(image), uint32_t(image.size()), tag::kImagePng, tag::kPictureFrontCover, 0, 0, true));
        ASSERT_EQ(0, editor->Save(OpenTagWriteStream(out.c_str()), true));
        editor.reset();

        const std::string dump = Dump(out);
        for (const std::string& line : {
                 std::string("Title\tASFUnicodeAttribute\tT\xC3\xAFtle \xE2\x99\xAA\n"),
                 std::string("Author\tASFUnicodeAttribute\tCross Artist\n"),
                 std::string("WM/AlbumTitle\tASFUnicodeAttribute\tCross Album\n"),
                 std::string("WM/AlbumArtist\tASFUnicodeAttribute\tCross Band\n"),
                 std::string("WM/Genre\tASFUnicodeAttribute\tCross Genre\n"),
                 std::string("WM/Year\tASFUnicodeAttribute\t2011\n"),
                 std::string("WM/TrackNumber\tASFUnicodeAttribute\t5\n"),
                 std::string("GN/UniqueFileIdentifier\tASFUnicodeAttribute\tCROSS-ID-9\n"),
                 "VEXAL\tASFByteArrayAttribute\t" + tagtest::Hex(mood) + "\n",
                 "WM/Picture\tASFByteArrayAttribute\t" + tagtest::Hex(pictureValue) + "\n",
             })
            EXPECT_NE(std::string::npos, dump.find(line)) << line << "\n" << dump.substr(0, 2000);
        const Bytes saved = tagtest::ReadFileBytes(out);
        EXPECT_NE(std::string::npos, dump.find("size\t" + std::to_string(saved.size()) + "\t" + std::to_string(saved.size())))
            << dump.substr(dump.rfind("size"));
        EXPECT_EQ(uint64_t(saved.size()), FilePropertiesSize(saved));

        EXPECT_EQ("", tagtest::RunToolOk("ffmpeg -nostdin -v error -i '" + out + "' -f null -"));
    }
}

// A front cover that another tagger put in the extended content description is the one a new
// front cover replaces: the file keeps one front cover, and nothing else changes.
TEST(AsfCrossCheck, NewFrontCoverReplacesTheDescriptionsCover) {
    tagtest::TempDir dir;
    const std::string tagged = dir.Path("tagged.wma");
    tagtest::WriteFileBytes(tagged, Fixture("plain.wma"));
    MutagenAsf("cover '" + tagged + "' '" + tagtest::FixturePath("asf/cover.png") + "'");
    const std::string before = Dump(tagged);
    const Bytes oldValue = Cat({{3}, Le32(uint32_t(Fixture("cover.png").size())), Utf16("image/png"), Utf16(""),
                                Fixture("cover.png")});
    ASSERT_NE(std::string::npos, before.find("WM/Picture\tASFByteArrayAttribute\t" + tagtest::Hex(oldValue) + "\n"));

    const Bytes image = Fixture("cover.jpg");
    std::unique_ptr<CTagEditor> editor(OpenTagEditorByType(tagged.c_str(), kTagReaderAsf));
    ASSERT_TRUE(editor);
    ASSERT_EQ(0, editor->SetPicture(Stream(image), uint32_t(image.size()), tag::kImageJpeg, tag::kPictureFrontCover, 0,
                                    0, true));
    const std::string out = dir.Path("out.wma");
    ASSERT_EQ(0, editor->Save(OpenTagWriteStream(out.c_str()), true));
    editor.reset();

    const Bytes newValue = Cat({{3}, Le32(uint32_t(image.size())), Utf16("image/jpeg"), Utf16(""), image});
    std::vector<std::string> expected = AttributeLines(before);
    std::replace(expected.begin(), expected.end(), "WM/Picture\tASFByteArrayAttribute\t" + tagtest::Hex(oldValue),
                 "WM/Picture\tASFByteArrayAttribute\t" + tagtest::Hex(newValue));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, AttributeLines(Dump(out)));
    EXPECT_EQ("Front Cover\n", tagtest::RunToolOk("exiftool -s3 -a -PictureType '" + out + "'"));
    EXPECT_EQ("image/jpeg\n", tagtest::RunToolOk("exiftool -s3 -a -PictureMimeType '" + out + "'"));
    EXPECT_EQ(tagtest::RunToolOk("ffmpeg -nostdin -v error -i '" + tagged + "' -map 0:a -f md5 -"),
              tagtest::RunToolOk("ffmpeg -nostdin -v error -i '" + out + "' -map 0:a -f md5 -"));
    // mutagen leaves the file size in the file properties as it was, and ffprobe then reports
    // another duration; our save writes the true size, so the stream reads as the untagged one.
    const std::string plain = tagtest::FixturePath("asf/plain.wma");
    const std::string audio = "ffprobe -v error -select_streams a -show_entries "
                              "stream=codec_name,sample_rate,channels,bit_rate,duration,nb_frames '";
    EXPECT_EQ(tagtest::RunToolOk(audio + plain + "'"), tagtest::RunToolOk(audio + out + "'"));
}

// An 8-bit lookup identifier of odd length goes in as UTF-16LE: mutagen, which refuses a whole
// file over one malformed Unicode attribute, reads it and every other attribute as before.
TEST(AsfCrossCheck, EightBitLookupIdKeepsTheFileReadable) {
    for (const char* name : {"plain.wma", "mutagen.wma"}) {
        SCOPED_TRACE(name);
        const std::string source = tagtest::FixturePath(std::string("asf/") + name);
        tagtest::TempDir dir;
        const std::string out = dir.Path(std::string("out-") + name);
        std::unique_ptr<CTagEditor> editor(OpenTagEditorByType(source.c_str(), kTagReaderAsf));
        ASSERT_TRUE(editor);
        const Bytes identifier = ToBytes("LOOKUP-77");
        ASSERT_EQ(0, editor->SetLookupId(Stream(identifier), uint32_t(identifier.size()), 0, true));
        ASSERT_EQ(0, editor->Save(OpenTagWriteStream(out.c_str()), true));
        editor.reset();

        std::vector<std::string> expected;
        for (const std::string& line : AttributeLines(Dump(source)))
            if (line.compare(0, 24, "GN/UniqueFileIdentifier\t") != 0) expected.push_back(line);
        expected.push_back("GN/UniqueFileIdentifier\tASFUnicodeAttribute\tLOOKUP-77");
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, AttributeLines(Dump(out)));
        EXPECT_EQ("", tagtest::RunToolOk("ffprobe -v error -show_format -show_streams '" + out + "' >/dev/null"));
        EXPECT_EQ(tagtest::RunToolOk("ffmpeg -nostdin -v error -i '" + source + "' -map 0:a -f md5 -"),
                  tagtest::RunToolOk("ffmpeg -nostdin -v error -i '" + out + "' -map 0:a -f md5 -"));
        // exiftool shows no lookup identifier; it reads the rest as before and warns of nothing.
        const std::string exif = "exiftool -a -s -Title -Author -AlbumTitle -Genre -Warning '";
        EXPECT_EQ(tagtest::RunToolOk(exif + source + "'"), tagtest::RunToolOk(exif + out + "'"));
    }
}
