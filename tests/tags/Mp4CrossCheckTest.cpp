// Cross-checks of the MP4 editor with Debian's ffmpeg and AtomicParsley: after a tag change the
// decoded media is the same as the source's, every chunk offset moved by exactly the growth in
// front of the media, the brands read back as written, and the tools read our tags. Native build
// only: the tools run as child processes.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "library/media/tags/Mp4Reader.h"
#include "library/media/tags/TagFactories.h"
#include "library/media/tags/TagMemoryStream.h"
#include "library/media/tags/TagTypes.h"
#include "tests/tags/Mp4TestSupport.h"
#include "tests/tags/ToolRun.h"

using namespace mp4test;

namespace {

// The decoded audio and video; cover pictures, which the edits change, are left out.
std::string MediaMd5(const std::string& path) {
    return tagtest::RunToolOk("ffmpeg -nostdin -v error -i '" + path + "' -map 0:a? -map 0:V? -f md5 -");
}

struct Row {
    const char* file;
    int32_t kind;
    const char* majorBrand;
    const char* toolShowsTitle;  // what AtomicParsley -t prints for the new title; empty: not checked
    bool moovFirst;
};

const Row kRows[] = {
    {"ffmpeg-moov-first.m4a", 1, "M4A ", "Atom \"\xC2\xA9nam\" contains: Cross Title", true},
    {"ffmpeg-moov-last.m4a", 1, "M4A ", "Atom \"\xC2\xA9nam\" contains: Cross Title", false},
    {"atomicparsley.m4a", 1, "M4A ", "Atom \"\xC2\xA9nam\" contains: Cross Title", true},
    {"atomicparsley-id32.mp4", 0, "mp42", "", true},
    {"ffmpeg.3gp", 2, "3gp6", "User data \"titl\" [lang=eng (utf8)] : Cross Title", true},
    {"atomicparsley.3gp", 2, "3gp6", "User data \"titl\" [lang=eng (utf8)] : Cross Title", true},
};

}  // namespace

TEST(Mp4CrossCheck, EditedFilesKeepTheirMediaAndReadBackWithTheTools) {
    // A real cover, so that ffmpeg can decode the picture stream it makes of it.
    const Bytes coverFile = tagtest::ReadFileBytes(tagtest::FixturePath("mp4/ffmpeg-moov-first.m4a"));
    Bytes cover;
    {
        std::unique_ptr<CTagReader> reader(Mp4ReaderOver(coverFile, kMp4KindAudio));
        ASSERT_TRUE(reader);
        uint32_t offset, size;
        uint8_t type;
        int32_t format;
        ASSERT_EQ(0, reader->GetPictureInfo(tag::kPictureAnyType, 0, &offset, &size, &type, &format));
        cover.assign(coverFile.begin() + offset, coverFile.begin() + offset + size);
    }
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.file);
        const std::string source = tagtest::FixturePath(std::string("mp4/") + row.file);
        const Bytes file = tagtest::ReadFileBytes(source);
        tagtest::TempDir dir;
        const std::string out = dir.Path(std::string("out-") + row.file);
        int32_t result;
        std::unique_ptr<CTagEditor> editor(Mp4EditorOver(file, row.kind, &result));
        ASSERT_TRUE(editor) << result;
        const std::string title = "Cross Title";
        ASSERT_EQ(0, editor->SetItem(tag::kItemTitle, TextStream(title), uint32_t(title.size()), tag::kEncodingUtf8, 0,
                                     true));
        ASSERT_EQ(0, editor->SetPicture(new CTagMemoryStream(cover.data(), uint32_t(cover.size())),
                                        uint32_t(cover.size()), tag::kImagePng, 3, 0, 0, true));
        ASSERT_EQ(0, editor->Save(OpenTagWriteStream(out.c_str()), true));
        editor.reset();
        const Bytes saved = tagtest::ReadFileBytes(out);

        EXPECT_EQ(MediaMd5(source), MediaMd5(out));
        const int64_t growth = int64_t(MediaStart(saved)) - int64_t(MediaStart(file));
        if (!row.moovFirst) EXPECT_EQ(0, growth);
        else EXPECT_NE(0, growth);
        EXPECT_FALSE(ChunkOffsets(file).empty());
        std::vector<uint64_t> moved = ChunkOffsets(file);
        for (uint64_t& entry : moved) entry += growth;
        EXPECT_EQ(moved, ChunkOffsets(saved));

        const std::string brands = tagtest::RunToolOk("AtomicParsley '" + out + "' --brands");
        EXPECT_NE(std::string::npos, brands.find(std::string("Major Brand: ") + row.majorBrand)) << brands;
        const std::string tags = tagtest::RunToolOk("AtomicParsley '" + out + "' -t");
        if (*row.toolShowsTitle) EXPECT_NE(std::string::npos, tags.find(row.toolShowsTitle)) << tags;
        std::unique_ptr<CTagReader> reader(Mp4ReaderOver(saved, row.kind));
        ASSERT_TRUE(reader);
        EXPECT_EQ(title, tagtest::TextItem(*reader, tag::kItemTitle));
        // ffmpeg reads the title of M4A files (not of 3GP ones), now from the item we wrote.
        if (row.kind == kMp4KindAudio)
            EXPECT_EQ(title + "\n", tagtest::RunToolOk("ffprobe -v error -show_entries format_tags=title -of default=nw=1:nk=1 '" + out + "'"));
    }
}

namespace {

// Every tag mutagen reads, one per line, sorted by key.
std::string MutagenTags(const std::string& path) {
    return tagtest::RunToolOk("/usr/bin/python3 -c 'import mutagen, sys; print(mutagen.File(sys.argv[1]).tags.pprint())' '" +
                              path + "'");
}

std::string WithoutLinesStarting(const std::string& text, const std::string& start) {
    std::string kept;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        if (text.compare(at, start.size(), start) != 0) kept += text.substr(at, end - at);
        at = end;
    }
    return kept;
}

// The streams as ffprobe sees them, which a tag edit leaves as they were; ffprobe's own errors
// show here too.
std::string Streams(const std::string& path) {
    return tagtest::RunToolOk("ffprobe -v error -show_streams '" + path + "'");
}

// Saves the fixture after the edit; empty when the edit or the save failed.
std::string SaveEditedFixture(const tagtest::TempDir& dir, const std::string& fixture, int32_t kind,
                              const std::function<void(CTagEditor&)>& edit) {
    const Bytes file = tagtest::ReadFileBytes(tagtest::FixturePath(fixture));
    int32_t result;
    std::unique_ptr<CTagEditor> editor(Mp4EditorOver(file, kind, &result));
    EXPECT_TRUE(editor) << result;
    if (!editor) return std::string();
    edit(*editor);
    const std::string out = dir.Path("edited-" + fixture.substr(fixture.rfind('/') + 1));
    result = editor->Save(OpenTagWriteStream(out.c_str()), true);
    EXPECT_EQ(0, result);
    return result == 0 ? out : std::string();
}

}  // namespace

// An 8-bit title reaches the file as UTF-8: every tool reads it, and nothing else changed.
TEST(Mp4CrossCheck, AnsiTitleReadsBackWithEveryTool) {
    const std::string ansi = "Caf\xE9 \x80 5";
    const std::string utf8 = "Caf\xC3\xA9 \xE2\x82\xAC 5";
    for (const char* fixture : {"mp4/atomicparsley.m4a", "mp4/ffmpeg-moov-first.m4a"}) {
        SCOPED_TRACE(fixture);
        const std::string source = tagtest::FixturePath(fixture);
        tagtest::TempDir dir;
        const std::string out = SaveEditedFixture(dir, fixture, kMp4KindAudio, [&](CTagEditor& editor) {
            EXPECT_EQ(0, editor.SetItem(tag::kItemTitle, TextStream(ansi), uint32_t(ansi.size()), tag::kEncodingAnsi,
                                        0, true));
        });
        ASSERT_FALSE(out.empty());
        const std::string tags = MutagenTags(out);
        EXPECT_NE(std::string::npos, tags.find("\xC2\xA9nam=" + utf8 + "\n")) << tags;
        EXPECT_EQ(WithoutLinesStarting(MutagenTags(source), "\xC2\xA9nam="), WithoutLinesStarting(tags, "\xC2\xA9nam="));
        EXPECT_EQ(utf8 + "\n", tagtest::RunToolOk("exiftool -s3 -Title '" + out + "'"));
        EXPECT_EQ(utf8 + "\n", tagtest::RunToolOk("ffprobe -v error -show_entries format_tags=title -of default=nw=1:nk=1 '" +
                                                  out + "'"));
        EXPECT_EQ(Streams(source), Streams(out));
        EXPECT_EQ(MediaMd5(source), MediaMd5(out));
    }
}

// The track number that rides behind a 3GP album's terminator survives a new album.
TEST(Mp4CrossCheck, ThirdGenerationAlbumKeepsItsTrackForTheTools) {
    const std::string source = tagtest::FixturePath("mp4/atomicparsley.3gp");
    tagtest::TempDir dir;
    const std::string album = "New Album";
    const std::string out = SaveEditedFixture(dir, "mp4/atomicparsley.3gp", kMp4Kind3gp, [&](CTagEditor& editor) {
        EXPECT_EQ(0, editor.SetItem(tag::kItemAlbum, TextStream(album), uint32_t(album.size()), tag::kEncodingUtf8, 0,
                                    true));
    });
    ASSERT_FALSE(out.empty());
    const std::string albumLine = "User data \"albm\" [lang=eng (utf8)] : ";
    const std::string tags = tagtest::RunToolOk("AtomicParsley '" + out + "' -t");
    EXPECT_NE(std::string::npos, tags.find(albumLine + album + "  |  Track: 7")) << tags;
    EXPECT_EQ(WithoutLinesStarting(tagtest::RunToolOk("AtomicParsley '" + source + "' -t"), albumLine),
              WithoutLinesStarting(tags, albumLine));
    EXPECT_EQ(album + std::string("\0\x07", 2), tagtest::RunToolOk("exiftool -b -UserData:Album '" + out + "'"));
    EXPECT_EQ("Greatest", tagtest::RunToolOk("exiftool -b -UserData:Title '" + out + "'"));
    EXPECT_EQ(Streams(source), Streams(out));
    EXPECT_EQ(MediaMd5(source), MediaMd5(out));
}
