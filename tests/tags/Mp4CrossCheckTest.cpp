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
