#include "library/media/decode/MediaTagObjects.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "library/media/decode/TagOpeners.h"
#include "library/media/tags/TagMemoryStream.h"
#include "library/media/tags/TagTypes.h"
#include "tests/mediaprobe/ProbeTestSupport.h"

namespace {

// The payload the fixture script stores in the mood-data object.
std::vector<uint8_t> FixtureMoodPayload() {
    std::vector<uint8_t> bytes(48);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);
    return bytes;
}

struct ObjectCase {
    const wchar_t* file;
    int32_t code;
    bool coverArt;
    bool moodData;
    const wchar_t* lookupId;  // null: none
};

TEST(MediaTagObjectsTest, PicturesMoodDataAndLookupIdOfEveryFormat) {
    const ObjectCase cases[] = {
        {L"tagged.mp3", 0, true, true, L"LOOKUP-Mp3-0001"},
        {L"tagged.mp3", 8, true, true, L"LOOKUP-Mp3-0001"},
        {L"plain.mp3", 0, false, false, nullptr},
        // The movie layout's ID3v2 tag gives no lookup id: the item list's one is found third.
        {L"h264-main.mp4", 4, true, true, L"LOOKUP-MP4-0003"},
        {L"mpeg4-visual.mp4", 4, false, false, nullptr},
        {L"tagged.m4a", 2, true, false, L"LOOKUP-M4A-0002"},
        {L"tagged.wma", 1, true, true, L"LOOKUP-WMA-0004"},
        {L"tagged.3gp", 3, false, false, nullptr},
        {L"tagged.mp3", 5, false, false, nullptr},
        {L"tagged.mp3", 15, false, false, nullptr},
        {L"missing.mp3", 0, false, false, nullptr},
    };
    for (const ObjectCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.code << " " << std::string(c.file, c.file + wcslen(c.file)));
        const std::wstring path = ProbeFixture(c.file);
        EXPECT_EQ(c.coverArt, HasCoverArt(path, c.code));

        CTNByteArray* mood = nullptr;
        EXPECT_EQ(c.moodData ? 0 : -1, ReadMoodData(&mood, path, c.code));
        std::unique_ptr<CTNByteArray> owned(mood);
        if (c.moodData) {
            ASSERT_NE(nullptr, mood);
            EXPECT_EQ(FixtureMoodPayload(), std::vector<uint8_t>(mood->data, mood->data + mood->length));
        } else {
            EXPECT_EQ(nullptr, mood);
        }

        std::wstring lookupId = L"untouched";
        const int32_t result = ReadLookupId(&lookupId, path, c.code);
        if (c.lookupId) {
            EXPECT_EQ(0, result);
            EXPECT_EQ(c.lookupId, lookupId);
        } else {
            EXPECT_NE(0, result);
        }
    }
}

TEST(MediaTagObjectsTest, CountsPicturesOfAnyTypeByReaderType) {
    EXPECT_EQ(1, CountCoverArt(ProbeFixture(L"tagged.mp3"), 0));
    EXPECT_EQ(0, CountCoverArt(ProbeFixture(L"h264-main.mp4"), 3));
    EXPECT_EQ(1, CountCoverArt(ProbeFixture(L"h264-main.mp4"), 2));
    EXPECT_EQ(0, CountCoverArt(ProbeFixture(L"plain.mp3"), 0));
    EXPECT_EQ(-1, CountCoverArt(ProbeFixture(L"plain.mp3"), 2));
    EXPECT_EQ(-1, CountCoverArt(ProbeFixture(L"tagged.mp3"), 7));
}

TEST(MediaTagObjectsTest, ACode3PictureOnlyInThe3gpLayoutStillCounts) {
    // The 3GP editor puts a picture into the fixture's frame-box container, which only the 3GP
    // reader (the second one tried for code 3) reads.
    wchar_t folder[MAX_PATH];
    wchar_t saved[MAX_PATH];
    ASSERT_NE(0u, GetTempPathW(MAX_PATH, folder));
    ASSERT_NE(0u, GetTempFileNameW(folder, L"qbp", 0, saved));
    std::unique_ptr<CTagEditor> editor(OpenTagEditorByType(ProbeFixture(L"tagged.3gp"), 4));
    ASSERT_NE(nullptr, editor);
    static const uint8_t kPng[] = {0x89, 'P', 'N', 'G', 0x0D};
    ASSERT_EQ(0, editor->SetPicture(new CTagMemoryStream(kPng, sizeof(kPng)), sizeof(kPng), tag::kImagePng,
                                    tag::kPictureFrontCover, 0, 0, true));
    ASSERT_EQ(0, editor->Save(OpenTagWriteStream(std::wstring(saved)), true));
    editor.reset();

    EXPECT_EQ(0, CountCoverArt(saved, 2));
    EXPECT_EQ(1, CountCoverArt(saved, 4));
    EXPECT_TRUE(HasCoverArt(saved, 3));
    EXPECT_FALSE(HasCoverArt(ProbeFixture(L"tagged.3gp"), 3));
    DeleteFileW(saved);
}

// The wide-path opener gives an MP4 reader for the MP4 family's types only, and none for a file
// that does not open.
TEST(MediaTagObjectsTest, TagReaderForPathOpensTheMp4Family) {
    for (int32_t type : {2, 3, 4}) {
        std::unique_ptr<CMp4Reader> reader(OpenTagReaderForPath(ProbeFixture(L"tagged.m4a"), type));
        EXPECT_NE(nullptr, reader) << type;
    }
    EXPECT_EQ(nullptr, std::unique_ptr<CMp4Reader>(OpenTagReaderForPath(ProbeFixture(L"tagged.m4a"), 0)));
    EXPECT_EQ(nullptr, std::unique_ptr<CMp4Reader>(OpenTagReaderForPath(ProbeFixture(L"tagged.m4a"), 5)));
    EXPECT_EQ(nullptr, std::unique_ptr<CMp4Reader>(OpenTagReaderForPath(ProbeFixture(L"missing.m4a"), 3)));
}

TEST(MediaTagObjectsTest, AMissingObjectLeavesTheCallersArrayAlone) {
    CTNByteArray* held = CTNByteArray::Create(4);
    ASSERT_NE(nullptr, held);
    CTNByteArray* blob = held;
    EXPECT_EQ(-1, ReadMoodDataBlob(&blob, ProbeFixture(L"tagged.m4a"), 3));
    EXPECT_EQ(held, blob);
    EXPECT_EQ(-1, ReadMoodData(nullptr, ProbeFixture(L"tagged.mp3"), 0));
    // A found object replaces the array the out held.
    EXPECT_EQ(0, ReadLookupIdBlob(&blob, ProbeFixture(L"tagged.mp3"), 0));
    ASSERT_NE(nullptr, blob);
    EXPECT_EQ(std::string("LOOKUP-Mp3-0001"), std::string(blob->data, blob->data + blob->length));
    delete blob;
    EXPECT_EQ(-1, ReadLookupId(nullptr, ProbeFixture(L"tagged.mp3"), 0));
}

}  // namespace
