#include <gtest/gtest.h>

#include <windows.h>

#include <regex>

#include "library/content/GuidString.h"
#include "library/content/TNContent.h"

namespace {

std::wstring TempFilePath() {
    wchar_t folder[MAX_PATH];
    wchar_t path[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"art", 0, path);
    return path;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(GuidString, HasTheStoredFormatWithALowerCaseThirdGroup) {
    std::wstring text;
    ASSERT_TRUE(CreateGuidString(&text));
    std::wregex format(L"[0-9A-F]{8}-[0-9A-F]{4}-[0-9a-f]{4}-[0-9A-F]{4}-[0-9A-F]{12}");
    EXPECT_TRUE(std::regex_match(text, format)) << std::string(text.begin(), text.end());
    // Version 4 GUIDs carry a letter-free "4" first, so look for lower-case letters across many.
    bool sawLowerLetter = false;
    for (int i = 0; i < 64 && !sawLowerLetter; ++i) {
        ASSERT_TRUE(CreateGuidString(&text));
        for (wchar_t c : text.substr(14, 4)) sawLowerLetter |= (c >= L'a' && c <= L'f');
    }
    EXPECT_TRUE(sawLowerLetter);
}

TEST(TNContent, ConstructorSetsDefaultsAndAFreshId) {
    CTNContent first(1, CTNContent::kVideo);
    CTNContent second(0, CTNContent::kSong);
    EXPECT_EQ(1u, first.originFlag);
    EXPECT_EQ(3u, first.kind);
    EXPECT_EQ(0u, first.status);
    EXPECT_EQ(0u, first.duration);
    EXPECT_EQ(0u, first.stageValue);
    EXPECT_EQ(1, first.passUnconverted);
    EXPECT_EQ(nullptr, first.byteArray);
    EXPECT_EQ(36u, first.id.size());
    EXPECT_NE(first.id, second.id);

    std::wstring before = first.id;
    EXPECT_TRUE(first.RenewId());
    EXPECT_NE(before, first.id);
}

TEST(TNContent, DestructorDeletesTheArtworkFileOnly) {
    std::wstring artwork = TempFilePath();
    std::wstring source = TempFilePath();
    ASSERT_TRUE(FileExists(artwork));
    {
        CTNContent content(1, CTNContent::kSong);
        content.artworkPath = artwork;
        content.sourcePath = source;
        content.tempPath = source;
    }
    EXPECT_FALSE(FileExists(artwork));
    EXPECT_TRUE(FileExists(source));
    DeleteFileW(source.c_str());

    // Already gone, or none at all: harmless.
    { CTNContent content(1, CTNContent::kSong); content.artworkPath = artwork; }
    { CTNContent content(0, CTNContent::kSong); }
}

// A record dropped before the data-insert stage still removes the cover the lookup saved.
TEST(TNContent, DestructorDeletesTheLookupCover) {
    std::wstring cover = TempFilePath();
    ASSERT_TRUE(FileExists(cover));
    {
        CTNContent content(0, CTNContent::kSong);
        content.lookupCoverPath = cover;
    }
    EXPECT_FALSE(FileExists(cover));
}

TEST(TNByteArray, SetDataRespectsTheCapacity) {
    CTNByteArray* array = CTNByteArray::Create(4);
    ASSERT_NE(nullptr, array);
    EXPECT_EQ(4u, array->capacity);
    EXPECT_EQ(0u, array->length);

    const unsigned char bytes[5] = {1, 2, 3, 4, 5};
    EXPECT_EQ(E_INVALIDARG, array->SetData(nullptr, 3));
    EXPECT_EQ(E_INVALIDARG, array->SetData(bytes, 0));
    EXPECT_EQ(S_OK, array->SetData(bytes, 4));
    EXPECT_EQ(4u, array->length);
    EXPECT_EQ(E_FAIL, array->SetData(bytes, 5));
    EXPECT_EQ(4u, array->length);
    EXPECT_EQ(0, memcmp(array->data, bytes, 4));

    CTNContent content(0, CTNContent::kSong);
    content.SetByteArray(array);
    content.SetByteArray(CTNByteArray::Create(1));  // deletes the first
    EXPECT_EQ(1u, content.byteArray->capacity);
}

}  // namespace
