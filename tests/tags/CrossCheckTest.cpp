// Cross-checks with independent readers and writers from Debian: tags that mutagen (mid3v2) and
// eyeD3 write read back right with ours, and files we save read back right with mutagen and
// exiftool. Native build only: the tools run as child processes.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "library/media/tags/Id3FrameFields.h"
#include "library/media/tags/TagFactories.h"
#include "library/media/tags/TagTypes.h"
#include "tests/tags/TagTestSupport.h"
#include "tests/tags/TagTextDecode.h"
#include "tests/tags/ToolRun.h"

using namespace tagtest;

namespace {

// Debian's own interpreter: another python3 earlier on PATH may lack Debian's modules.
const std::string kPython = "/usr/bin/python3";

std::string Helper() { return kPython + " '" + std::string(QB_TEST_DATA_DIR) + "/../tags/mutagen_helper.py'"; }

Bytes FromHex(const std::string& hex) {
    Bytes bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(uint8_t(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

Bytes ObjectBytes(CTagReader& reader, uint32_t offset, uint32_t size) {
    Bytes bytes(size);
    EXPECT_EQ(0, reader.ReadObjectData(offset, size, 0, bytes.data(), size));
    return bytes;
}

Bytes AudioAfterTag(const Bytes& file) {
    if (file.size() < 10 || file[0] != 'I') return file;
    uint32_t size = (uint32_t(file[6]) << 21) | (uint32_t(file[7]) << 14) | (uint32_t(file[8]) << 7) | file[9];
    return Bytes(file.begin() + 10 + size, file.end());
}

struct ToolConstants {
    Bytes mood, image;
};

ToolConstants Constants() {
    std::istringstream lines(RunToolOk(Helper() + " constants"));
    std::string mood, image;
    std::getline(lines, mood);
    std::getline(lines, image);
    return {FromHex(mood), FromHex(image)};
}

}  // namespace

TEST(CrossCheck, TagsWrittenByMutagenReadBack) {
    const ToolConstants expected = Constants();
    const Bytes audio = ReadFileBytes(FixturePath("xing.mp3"));
    for (int version : {3, 4}) {
        SCOPED_TRACE(version);
        TempDir dir;
        const std::string path = dir.Path("mutagen.mp3");
        WriteFileBytes(path, audio);
        RunToolOk(Helper() + " write '" + path + "' " + std::to_string(version));
        std::unique_ptr<CTagReader> reader(OpenTagReaderForPath(path.c_str(), kTagReaderId3));
        ASSERT_TRUE(reader);
        EXPECT_EQ("T\xC3\xAFtle \xE2\x99\xAA", DecodedTextItem(*reader, tag::kItemTitle));
        EXPECT_EQ("\xC3\x84rtist", DecodedTextItem(*reader, tag::kItemArtist));
        EXPECT_EQ("Album", DecodedTextItem(*reader, tag::kItemAlbum));
        EXPECT_EQ("Jazz", DecodedTextItem(*reader, tag::kItemGenre));
        EXPECT_EQ("4/12", DecodedTextItem(*reader, tag::kItemTrack));
        EXPECT_EQ(version == 3 ? "1999" : "<-5>", DecodedTextItem(*reader, tag::kItemYear));  // 2.4 has TDRC
        uint32_t offset, size;
        uint8_t type;
        int32_t format;
        ASSERT_EQ(0, reader->GetPictureInfo(tag::kPictureFrontCover, 0, &offset, &size, &type, &format));
        EXPECT_EQ(tag::kImageJpeg, format);
        EXPECT_EQ(expected.image, ObjectBytes(*reader, offset, size));
        ASSERT_EQ(0, reader->FindMoodData(0, &offset, &size));
        EXPECT_EQ(expected.mood, ObjectBytes(*reader, offset, size));
        ASSERT_EQ(0, reader->FindLookupId(&offset, &size));
        EXPECT_EQ(ToBytes("LOOKUP-0042"), ObjectBytes(*reader, offset, size));
        EXPECT_EQ(audio, AudioAfterTag(ReadFileBytes(path)));
    }
}

TEST(CrossCheck, TagsWrittenByMid3v2AndEyeD3ReadBack) {
    TempDir dir;
    const Bytes audio = ReadFileBytes(FixturePath("xing.mp3"));
    const std::string mid = dir.Path("mid3v2.mp3"), eye = dir.Path("eyed3.mp3"), cover = dir.Path("cover.jpg");
    WriteFileBytes(mid, audio);
    WriteFileBytes(eye, audio);
    const Bytes image = ToBytes("\xFF\xD8\xFF\xE0 cover \xFF\xD9");
    WriteFileBytes(cover, image);
    RunToolOk(kPython + " /usr/bin/mid3v2 -t 'Caf\xC3\xA9' -a 'Mid Artist' -A 'Mid Album' -g Rock -T 7/9 '" + mid + "'");
    RunToolOk(kPython + " /usr/bin/eyeD3 --to-v2.3 -t 'Eye Title' -a 'Eye Artist' -A 'Eye Album' -G Blues -n 5 '--add-image=" +
          cover + ":FRONT_COVER' '" + eye + "'");

    std::unique_ptr<CTagReader> reader(OpenTagReaderForPath(mid.c_str(), kTagReaderId3));
    ASSERT_TRUE(reader);
    EXPECT_EQ("Caf\xC3\xA9", DecodedTextItem(*reader, tag::kItemTitle));
    EXPECT_EQ("Mid Artist", DecodedTextItem(*reader, tag::kItemArtist));
    EXPECT_EQ("Mid Album", DecodedTextItem(*reader, tag::kItemAlbum));
    EXPECT_EQ("Rock", DecodedTextItem(*reader, tag::kItemGenre));
    EXPECT_EQ("7/9", DecodedTextItem(*reader, tag::kItemTrack));

    reader.reset(OpenTagReaderForPath(eye.c_str(), kTagReaderId3));
    ASSERT_TRUE(reader);
    EXPECT_EQ("Eye Title", DecodedTextItem(*reader, tag::kItemTitle));
    EXPECT_EQ("Eye Artist", DecodedTextItem(*reader, tag::kItemArtist));
    EXPECT_EQ("Eye Album", DecodedTextItem(*reader, tag::kItemAlbum));
    EXPECT_EQ("Blues", DecodedTextItem(*reader, tag::kItemGenre));
    EXPECT_EQ("05", DecodedTextItem(*reader, tag::kItemTrack));
    uint32_t offset, size;
    uint8_t type;
    int32_t format;
    ASSERT_EQ(0, reader->GetPictureInfo(tag::kPictureFrontCover, 0, &offset, &size, &type, &format));
    EXPECT_EQ(image, ObjectBytes(*reader, offset, size));
    EXPECT_EQ(audio, AudioAfterTag(ReadFileBytes(eye)));
}

// Our saves, from a file without a tag and from tool-written ID3v2.3 and 2.4 tags, read back right
// with mutagen and exiftool; the objects are byte-identical and the audio is untouched.
TEST(CrossCheck, FilesWeSaveReadBackWithTheirTools) {
    const Bytes audio = ReadFileBytes(FixturePath("xing.mp3"));
    Bytes mood(1500);
    for (size_t i = 0; i < mood.size(); ++i) mood[i] = uint8_t(i * 7 + 3);
    const Bytes image = ToBytes("\x89PNG\r\n\x1A\n-our-picture-\x00\xFF");
    const Bytes lookup = ToBytes("OUR-ID-77");
    const std::string titleLe("T\0i\0t\0l\0e\0 \0\x60\x26", 14);  // UTF-16LE without a mark, ends in U+2660
    const std::string artist = "Bj\xF6rk";                           // ISO-8859-1
    const std::string album = "\xC3\x84lbum \xE2\x99\xAA";           // UTF-8
    const std::string genre("\xFE\xFF\0J\0a\0z\0z", 10);             // UTF-16BE with its mark
    const std::string track = "9/10";

    for (int source : {0, 3, 4}) {
        SCOPED_TRACE(source);
        TempDir dir;
        const std::string in = dir.Path("in.mp3"), out = dir.Path("out.mp3");
        WriteFileBytes(in, audio);
        if (source) RunToolOk(Helper() + " write '" + in + "' " + std::to_string(source));
        const Bytes sourceAudio = AudioAfterTag(ReadFileBytes(in));

        std::unique_ptr<CTagEditor> editor(OpenTagEditorByType(in.c_str(), kTagReaderId3));
        ASSERT_TRUE(editor);
        auto stream = [](const std::string& s) { return new CTagMemoryStream(s.data(), uint32_t(s.size())); };
        ASSERT_EQ(0, editor->SetItem(tag::kItemTitle, stream(titleLe), uint32_t(titleLe.size()), tag::kEncodingUtf16LeNoMark, 0, true));
        ASSERT_EQ(0, editor->SetItem(tag::kItemArtist, stream(artist), uint32_t(artist.size()), tag::kEncodingAnsi, 0, true));
        ASSERT_EQ(0, editor->SetItem(tag::kItemAlbum, stream(album), uint32_t(album.size()), tag::kEncodingUtf8, 0, true));
        ASSERT_EQ(0, editor->SetItem(tag::kItemGenre, stream(genre), uint32_t(genre.size()), tag::kEncodingUtf16BeMarked, 0, true));
        ASSERT_EQ(0, editor->SetItem(tag::kItemTrack, stream(track), uint32_t(track.size()), tag::kEncodingAnsi, 0, true));
        ASSERT_EQ(0, editor->RemovePicture(tag::kPictureFrontCover, 0));
        ASSERT_EQ(0, editor->SetPicture(new CTagMemoryStream(image.data(), uint32_t(image.size())), uint32_t(image.size()),
                                        tag::kImagePng, tag::kPictureFrontCover, 0, 0, true));
        ASSERT_EQ(0, editor->SetMoodData(new CTagMemoryStream(mood.data(), uint32_t(mood.size())), uint32_t(mood.size()), 0, true));
        ASSERT_EQ(0, editor->SetLookupId(new CTagMemoryStream(lookup.data(), uint32_t(lookup.size())), uint32_t(lookup.size()), 0, true));
        ASSERT_EQ(0, editor->Save(OpenTagWriteStream(out.c_str()), true));
        editor.reset();

        EXPECT_EQ(sourceAudio, AudioAfterTag(ReadFileBytes(out)));
        const std::string listing = RunToolOk(kPython + " /usr/bin/mid3v2 -l '" + out + "'");
        EXPECT_NE(std::string::npos, listing.find("TIT2=Title \xE2\x99\xA0")) << listing;
        EXPECT_NE(std::string::npos, listing.find("TPE1=Bj\xC3\xB6rk")) << listing;
        EXPECT_NE(std::string::npos, listing.find("TALB=\xC3\x84lbum \xE2\x99\xAA")) << listing;
        EXPECT_NE(std::string::npos, listing.find("TCON=Jazz")) << listing;
        EXPECT_NE(std::string::npos, listing.find("TRCK=9/10")) << listing;

        const std::string json = RunToolOk("exiftool -json -Title -Artist -Album -Genre -Track '" + out + "'");
        EXPECT_NE(std::string::npos, json.find("\"Title\": \"Title \xE2\x99\xA0\"")) << json;
        EXPECT_NE(std::string::npos, json.find("\"Artist\": \"Bj\xC3\xB6rk\"")) << json;
        EXPECT_NE(std::string::npos, json.find("\"Album\": \"\xC3\x84lbum \xE2\x99\xAA\"")) << json;
        EXPECT_NE(std::string::npos, json.find("\"Track\": \"9/10\"")) << json;

        const std::string dump = RunToolOk(Helper() + " dump '" + out + "'");
        EXPECT_NE(std::string::npos, dump.find("GEOB\t" + Hex(mood) + "\n")) << dump;
        EXPECT_NE(std::string::npos, dump.find("APIC\t" + Hex(image) + "\t3\n")) << dump;
        EXPECT_NE(std::string::npos, dump.find("UFID\t" + Hex(lookup) + "\n")) << dump;
        EXPECT_EQ(std::string::npos, dump.find("APIC\tffd8")) << "the old front cover is gone";
        // A file without a tag gains ID3v2.3; an existing tag keeps its version.
        EXPECT_NE(std::string::npos, dump.find(source == 4 ? "version\t2.4" : "version\t2.3")) << dump;
    }
}
