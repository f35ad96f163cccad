#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/dialogs/SyncLists.h"
#include "library/util/DataFolders.h"
#include "tests/app/dialogs/DialogTestSupport.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class SyncListsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(player_.IsActive()); }

    std::string Bytes(const std::wstring& file) const {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(file, &bytes));
        return bytes;
    }
    bool Write(const std::wstring& file, const std::string& bytes) const {
        if (!CreateDeviceDataFolder()) return false;
        HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        const bool ok = WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(handle);
        return ok && written == bytes.size();
    }

    CScratchPlayer player_;
};

}  // namespace

TEST_F(SyncListsTest, FilesAreNamedPerKindInThePlayersFolder) {
    const std::wstring folder = player_.DataFolder();
    EXPECT_EQ(GetSyncPathListFile(0), folder + L"SyncPathMusic.dat");
    EXPECT_EQ(GetSyncPathListFile(2), folder + L"SyncPathMovie.dat");
    EXPECT_EQ(GetSyncPathListFile(3), folder + L"SyncPathPcast.dat");
    EXPECT_EQ(GetSyncFileListFile(0), folder + L"SyncFileListMusic.dat");
    EXPECT_EQ(GetSyncFileListFile(2), folder + L"SyncFileListMovie.dat");
    EXPECT_EQ(GetSyncFileListFile(3), folder + L"SyncFileListPcast.dat");
    for (int kind : {1, 4, -1, 5}) {
        EXPECT_EQ(GetSyncPathListFile(kind), L"") << kind;
        EXPECT_FALSE(AppendSyncPathLine(kind, L"C:\\Music")) << kind;
        std::vector<std::wstring> paths;
        EXPECT_FALSE(ReadSyncPathList(kind, &paths)) << kind;
    }
}

TEST_F(SyncListsTest, AppendWritesUtf8LinesWithCrLfAndNoByteOrderMark) {
    ASSERT_TRUE(AppendSyncPathLines(0, {L"C:\\Music", L"D:\\\x97f3\x697d\\Caf\xe9"}));
    ASSERT_TRUE(AppendSyncFileListLine(2, L"E:\\a.mp4"));
    ASSERT_TRUE(AppendSyncFileListLine(2, L"E:\\a.mp4"));

    EXPECT_EQ(Bytes(GetSyncPathListFile(0)),
              std::string("C:\\Music\r\nD:\\\xe9\x9f\xb3\xe6\xa5\xbd\\Caf\xc3\xa9\r\n"));
    EXPECT_EQ(Bytes(GetSyncFileListFile(2)), std::string("E:\\a.mp4\r\nE:\\a.mp4\r\n"));
}

TEST_F(SyncListsTest, ReadParsesByteFixtures) {
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::wstring> expected;
    };
    const std::vector<Case> cases = {
        {"two lines", "C:\\A\r\nC:\\B\r\n", {L"C:\\A", L"C:\\B"}},
        {"last line without CR LF is ignored", "C:\\A\r\nC:\\B", {L"C:\\A"}},
        {"last line ending in CR alone is ignored", "C:\\A\r\nC:\\B\r", {L"C:\\A"}},
        {"empty lines are skipped", "\r\nC:\\A\r\n\r\n", {L"C:\\A"}},
        {"a lone LF or CR stays inside the line", "C:\\A\nB\r\nC:\\C\rD\r\n", {L"C:\\A\nB", L"C:\\C\rD"}},
        {"invalid UTF-8 is skipped", "C:\\\xff\xfe\r\nC:\\\xc3\xa9\r\n", {L"C:\\\xe9"}},
        {"an overlong encoding is skipped", "C:\\\xc0\xaf\r\nC:\\B\r\n", {L"C:\\B"}},
        {"a NUL inside a line is skipped", std::string("C:\\A\0B\r\nC:\\B\r\n", 14), {L"C:\\B"}},
        {"no CR LF at all", "C:\\A", {}},
        {"empty file", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(Write(GetSyncPathListFile(3), c.bytes));
        std::vector<std::wstring> paths{L"stale"};
        EXPECT_TRUE(ReadSyncPathList(3, &paths));
        EXPECT_EQ(paths, c.expected);
    }
}

TEST_F(SyncListsTest, LinesLongerThanOneReadChunkSurviveTheChunkEdges) {
    std::string bytes;
    std::vector<std::wstring> expected;
    for (int i = 0; i < 3000; ++i) {
        const std::string line = "C:\\folder" + std::to_string(i) + std::string(i % 97, 'x');
        bytes += line + "\r\n";
        expected.emplace_back(line.begin(), line.end());
    }
    ASSERT_GT(bytes.size(), 2u * 64 * 1024);
    ASSERT_TRUE(Write(GetSyncFileListFile(0), bytes));
    std::vector<std::wstring> paths;
    ASSERT_TRUE(ReadSyncFileList(0, &paths));
    EXPECT_EQ(paths, expected);
}

TEST_F(SyncListsTest, MissingListReadsEmptyAndIsNotCreated) {
    std::vector<std::wstring> paths{L"stale"};
    EXPECT_TRUE(ReadSyncPathList(0, &paths));
    EXPECT_THAT(paths, IsEmpty());
    EXPECT_EQ(GetFileAttributesW(GetSyncPathListFile(0).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SyncListsTest, ReadOnlyListIsReadAndALockedOneReportsFailure) {
    ASSERT_TRUE(Write(GetSyncPathListFile(0), "C:\\Kept\r\n"));
    ASSERT_TRUE(SetFileAttributesW(GetSyncPathListFile(0).c_str(), FILE_ATTRIBUTE_READONLY));
    std::vector<std::wstring> paths;
    EXPECT_TRUE(ReadSyncPathList(0, &paths));
    EXPECT_THAT(paths, ElementsAre(L"C:\\Kept"));
    // Replacing a read-only list fails and keeps it.
    EXPECT_FALSE(ReplaceSyncPathList(0, {L"C:\\New"}));
    EXPECT_EQ(Bytes(GetSyncPathListFile(0)), "C:\\Kept\r\n");
    ASSERT_TRUE(SetFileAttributesW(GetSyncPathListFile(0).c_str(), FILE_ATTRIBUTE_NORMAL));

    HANDLE lock = CreateFileW(GetSyncPathListFile(0).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(ReadSyncPathList(0, &paths));
    EXPECT_THAT(paths, IsEmpty());
    CloseHandle(lock);
}

TEST_F(SyncListsTest, ResetEmptiesAndReplaceWritesTheWholeList) {
    ASSERT_TRUE(AppendSyncPathLine(2, L"C:\\Old"));
    ASSERT_TRUE(ResetSyncPathList(2));
    EXPECT_EQ(Bytes(GetSyncPathListFile(2)), "");
    ASSERT_TRUE(AppendSyncFileListLine(3, L"C:\\x.mp3"));
    ASSERT_TRUE(ResetSyncFileList(3));
    EXPECT_EQ(Bytes(GetSyncFileListFile(3)), "");

    ASSERT_TRUE(ReplaceSyncPathList(2, {L"C:\\One", L"C:\\Two"}));
    EXPECT_EQ(Bytes(GetSyncPathListFile(2)), "C:\\One\r\nC:\\Two\r\n");
    ASSERT_TRUE(ReplaceSyncPathList(2, {}));
    EXPECT_EQ(Bytes(GetSyncPathListFile(2)), "");
    EXPECT_EQ(GetFileAttributesW((GetSyncPathListFile(2) + L".new").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SyncListsTest, PathsThatCannotBeALineAreRefused) {
    EXPECT_FALSE(AppendSyncPathLine(0, L"C:\\A\r\nC:\\Injected"));
    EXPECT_FALSE(AppendSyncPathLine(0, L""));
    EXPECT_FALSE(AppendSyncPathLine(0, std::wstring(L"C:\\") + wchar_t(0xD800)));
    ASSERT_TRUE(AppendSyncPathLine(0, L"C:\\Fine"));
    EXPECT_EQ(Bytes(GetSyncPathListFile(0)), "C:\\Fine\r\n");
}
