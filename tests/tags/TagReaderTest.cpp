#include <gtest/gtest.h>

#include <memory>

#include "library/media/tags/Id3FrameFields.h"
#include "library/media/tags/TagFactories.h"
#include "library/media/tags/TagTypes.h"
#include "tests/tags/TagTestSupport.h"

using namespace tagtest;

namespace {

Bytes SampleTag() {
    return BuildTag(0x0300,
                    {
                        {"TIT2", TextBody(0, ToBytes("0123456789"))},
                        {"APIC", ApicBody("image/jpeg", 3, ToBytes("front"))},
                        {"GEOB", MoodBody(ToBytes("mood-payload"))},
                        {"APIC", ApicBody("image/png", 128, ToBytes("lyrics!"))},
                        {"APIC", ApicBody("image/gif", 3, ToBytes("back"))},
                        {"UFID", UfidBody(id3::kLookupOwner, ToBytes("ID-42"))},
                    },
                    40, FakeAudio());
}

}  // namespace

TEST(TagReader, FindMoodDataByIndex) {
    Bytes file = SampleTag();
    std::unique_ptr<CTagReader> reader(ReaderOver(file));
    ASSERT_TRUE(reader);
    uint32_t offset = 0, size = 0;
    EXPECT_EQ(tag::kNotFound, reader->FindMoodData(1, &offset, &size));
    EXPECT_EQ(tag::kInvalidArgument, reader->FindMoodData(-1, &offset, &size));
    EXPECT_EQ(tag::kInvalidArgument, reader->FindMoodData(0, nullptr, &size));
    ASSERT_EQ(0, reader->FindMoodData(0, &offset, &size));
    EXPECT_EQ(12u, size);
    EXPECT_EQ(ToBytes("mood-payload"), Bytes(file.begin() + offset, file.begin() + offset + size));
}

TEST(TagReader, GetTextItemCutsToTheBufferAndReportsTheFullLength) {
    Bytes file = SampleTag();
    std::unique_ptr<CTagReader> reader(ReaderOver(file));
    ASSERT_TRUE(reader);
    char buffer[4];
    uint32_t size = sizeof(buffer);
    int32_t encoding = 99;
    ASSERT_EQ(0, reader->GetTextItem(tag::kItemTitle, buffer, &size, &encoding));
    EXPECT_EQ(10u, size);
    EXPECT_EQ(0, encoding);
    EXPECT_EQ("0123", std::string(buffer, 4));
    size = 0;
    EXPECT_EQ(tag::kNotFound, reader->GetTextItem(tag::kItemArtist, nullptr, &size, &encoding));
    EXPECT_EQ(tag::kInvalidArgument, reader->GetTextItem(8, nullptr, &size, &encoding));
}

TEST(TagReader, CountsAndDescribesPicturesByType) {
    Bytes file = SampleTag();
    std::unique_ptr<CTagReader> reader(ReaderOver(file));
    ASSERT_TRUE(reader);
    struct Case {
        uint8_t type;
        uint32_t count;
    } counts[] = {{tag::kPictureAnyType, 3}, {3, 2}, {128, 1}, {129, 0}};
    for (const Case& c : counts) {
        uint32_t count = 99;
        EXPECT_EQ(0, reader->CountPictures(c.type, &count));
        EXPECT_EQ(c.count, count) << int(c.type);
    }
    uint32_t offset, size;
    uint8_t type;
    int32_t format;
    ASSERT_EQ(0, reader->GetPictureInfo(3, 1, &offset, &size, &type, &format));
    EXPECT_EQ(ToBytes("back"), Bytes(file.begin() + offset, file.begin() + offset + size));
    EXPECT_EQ(3, type);
    EXPECT_EQ(tag::kImageOther, format);
    ASSERT_EQ(0, reader->GetPictureInfo(tag::kPictureAnyType, 1, &offset, &size, &type, &format));
    EXPECT_EQ(128, type);
    EXPECT_EQ(tag::kImagePng, format);
    ASSERT_EQ(0, reader->GetPictureInfo(3, 0, &offset, &size, &type, &format));
    EXPECT_EQ(tag::kImageJpeg, format);
    EXPECT_EQ(tag::kNotFound, reader->GetPictureInfo(129, 0, &offset, &size, &type, &format));
}

TEST(TagReader, ReadObjectDataStaysInsideTheObject) {
    Bytes file = SampleTag();
    std::unique_ptr<CTagReader> reader(ReaderOver(file));
    ASSERT_TRUE(reader);
    uint32_t offset, size;
    ASSERT_EQ(0, reader->FindLookupId(&offset, &size));
    ASSERT_EQ(5u, size);
    char buffer[8] = {};
    EXPECT_EQ(tag::kInvalidArgument, reader->ReadObjectData(offset, size, 1, buffer, 5));
    EXPECT_EQ(tag::kInvalidArgument, reader->ReadObjectData(offset, size, 0xFFFFFFFF, buffer, 2));
    EXPECT_EQ(std::string(8, '\0'), std::string(buffer, 8));
    EXPECT_EQ(tag::kInvalidArgument, reader->ReadObjectData(offset, size, 0, nullptr, 1));
    ASSERT_EQ(0, reader->ReadObjectData(offset, size, 3, buffer, 2));
    EXPECT_EQ("42", std::string(buffer, 2));
    EXPECT_EQ(0, reader->Close());
    EXPECT_EQ(tag::kNotReady, reader->ReadObjectData(offset, size, 0, buffer, 1));
    EXPECT_EQ(tag::kNotReady, reader->FindLookupId(&offset, &size));
}

// A handler stop ends the parse with +2; the query's handler is cleared afterwards.
TEST(TagReader, HandlerStopAndClearing) {
    Bytes file = SampleTag();
    CTagParser* parser = nullptr;
    ASSERT_EQ(0, CreateId3Reader(new CTagMemoryStream(file.data(), uint32_t(file.size())), &parser, true));
    std::unique_ptr<CTagParser> owned(parser);
    int calls = 0;
    parser->SetTextItemHandler(
        [](void* context, const uint8_t*, uint32_t, uint8_t, int32_t) -> int32_t {
            ++*static_cast<int*>(context);
            return 2;
        },
        &calls);
    EXPECT_EQ(2, parser->Parse());
    EXPECT_EQ(1, calls);
    parser->SetTextItemHandler(nullptr, nullptr);
    CTagReader reader(parser, false);
    uint32_t count;
    EXPECT_EQ(0, reader.CountPictures(255, &count));
    EXPECT_EQ(3u, count);
    // The query's handler and its context on the query's stack are gone: a parse calls nothing.
    EXPECT_EQ(0, parser->Parse());
}

TEST(TagFactories, NullArgumentsAndOwnership) {
    Bytes file = SampleTag();
    CTagParser* parser = nullptr;
    CTagEditor* editor = nullptr;
    EXPECT_EQ(tag::kInvalidArgument, CreateId3Reader(nullptr, &parser, true));
    bool deleted = false;
    EXPECT_EQ(tag::kInvalidArgument,
              CreateId3Reader(new CTrackedStream(file.data(), uint32_t(file.size()), &deleted), nullptr, true));
    EXPECT_TRUE(deleted);
    deleted = false;
    EXPECT_EQ(tag::kInvalidArgument,
              CreateId3Editor(new CTrackedStream(file.data(), uint32_t(file.size()), &deleted), nullptr, true));
    EXPECT_TRUE(deleted);

    const Bytes garbage = ToBytes("not a tag at all");
    deleted = false;
    EXPECT_EQ(tag::kMalformed,
              CreateId3Reader(new CTrackedStream(garbage.data(), uint32_t(garbage.size()), &deleted), &parser, true));
    EXPECT_TRUE(deleted);
    EXPECT_EQ(nullptr, parser);

    // A borrowed stream stays with the caller, whether the factory succeeds or not.
    deleted = false;
    {
        CTrackedStream borrowed(file.data(), uint32_t(file.size()), &deleted);
        ASSERT_EQ(0, CreateId3Editor(&borrowed, &editor, false));
        delete editor;
        EXPECT_FALSE(deleted);
    }
}

TEST(TagFactories, OpenersByPathAndType) {
    TempDir dir;
    const std::string path = dir.Path("song.mp3");
    WriteFileBytes(path, SampleTag());
    std::unique_ptr<CTagReader> reader(OpenTagReaderForPath(path.c_str(), kTagReaderId3));
    ASSERT_TRUE(reader);
    EXPECT_EQ("0123456789", TextItem(*reader, tag::kItemTitle));
    for (int32_t type : {1, 2, 3, 4, 5, -1}) {
        if (type != kTagReaderAsf) {
            EXPECT_EQ(nullptr, OpenTagReaderByType(path.c_str(), type)) << type;
        }
        EXPECT_EQ(nullptr, OpenTagEditorByType(path.c_str(), type)) << type;
    }
    // The ASF reader only takes the stream when opened; its walk finds no ASF object.
    std::unique_ptr<CTagReader> asf(OpenTagReaderForPath(path.c_str(), kTagReaderAsf));
    ASSERT_TRUE(asf);
    EXPECT_EQ("<-3>", TextItem(*asf, tag::kItemTitle));
    EXPECT_EQ(nullptr, OpenTagReaderForPath(dir.Path("missing.mp3").c_str(), kTagReaderId3));
    EXPECT_EQ(nullptr, OpenTagReadStream(nullptr));

    std::unique_ptr<CTagEditor> editor(OpenTagEditorByType(path.c_str(), kTagReaderId3));
    ASSERT_TRUE(editor);
    const std::string title = "new title";
    ASSERT_EQ(0, editor->SetItem(tag::kItemTitle, new CTagMemoryStream(title.data(), 9), 9, 0, 0, true));
    const std::string saved = dir.Path("saved.mp3");
    ASSERT_EQ(0, editor->Save(OpenTagWriteStream(saved.c_str()), true));
    editor.reset();
    reader.reset(OpenTagReaderForPath(saved.c_str(), kTagReaderId3));
    ASSERT_TRUE(reader);
    EXPECT_EQ(title, TextItem(*reader, tag::kItemTitle));
}
