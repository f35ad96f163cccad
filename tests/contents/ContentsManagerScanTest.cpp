#include <gtest/gtest.h>

#include "library/util/DataFolders.h"
#include "library/util/FileSystem.h"
#include "library/util/Settings.h"
#include "tests/contents/ContentsTestSupport.h"

namespace {

class SyncListener : public CContentsManager::IListener {
public:
    void OnContentsProgress() override {}
    void OnPodcastCaution() override {}
    void OnSyncFileAdded(int32_t listKind, std::wstring path) override {
        CScopedLock lock(lock_);
        added.emplace_back(listKind, path);
    }
    int32_t OnMovieCaution() override { return 0; }
    std::vector<std::pair<int32_t, std::wstring>> Added() {
        CScopedLock lock(lock_);
        return added;
    }

private:
    CCriticalSection lock_;
    std::vector<std::pair<int32_t, std::wstring>> added;
};

class SyncScanTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetCurrentDevId(L"QB-TEST-CONTENTS"));
        ASSERT_TRUE(WriteSyncEnabled(0, true));
        WriteSyncEnabled(2, false);
        WriteSyncEnabled(3, false);
        root = MakeTempFolder(L"sync");
    }
    void TearDown() override { RemoveTree(root); }
    std::wstring root;
};

TEST_F(SyncScanTest, ScanFillsListsAndStrikesPreviousSyncEntries) {
    const std::wstring music = root + L"\\Music";
    ASSERT_TRUE(CreateFolderTree(music + L"\\Band"));
    ASSERT_TRUE(WriteEmptyFile(music + L"\\new.mp3"));
    ASSERT_TRUE(WriteEmptyFile(music + L"\\Band\\synced.mp3"));
    ASSERT_TRUE(WriteEmptyFile(music + L"\\notes.xyz"));
    ASSERT_TRUE(WriteEmptyFile(music + L"\\clip.wmv"));
    ContentsFixture fixture;
    SyncListener listener;
    fixture.manager.SetListener(&listener);
    fixture.folders.music = {root + L"\\Missing", music + L"\\"};
    fixture.coordinator.previousSync = {music + L"\\Band\\synced.mp3", music + L"\\Band\\synced.mp3"};

    fixture.manager.StartFolderScan();
    ASSERT_TRUE(WaitFor([&] { return fixture.coordinator.frameBusy.load() == 1; }));
    ASSERT_TRUE(fixture.WaitAccounted());
    EXPECT_EQ(std::vector<std::wstring>{root + L"\\Missing"}, fixture.manager.GetReportListE());
    EXPECT_EQ(std::vector<std::wstring>{music + L"\\notes.xyz"}, fixture.manager.GetReportListA());
    const auto arrivals = fixture.sink.Arrivals();
    ASSERT_EQ(1u, arrivals.size());
    EXPECT_EQ(music + L"\\new.mp3", arrivals[0].sourcePath);
    EXPECT_EQ(L"new.mp3", arrivals[0].relativePath);
    EXPECT_EQ(1u, arrivals[0].syncKind);
    // Known but not music, and of no known type: both go to the music sync list.
    const auto added = listener.Added();
    ASSERT_EQ(2u, added.size());
    EXPECT_EQ(0, added[0].first);
    fixture.manager.SetListener(nullptr);
}

TEST(SyncScanWalk, EachMatchStrikesTheFirstEqualEntryOnly) {
    const std::wstring root = MakeTempFolder(L"strike");
    ASSERT_TRUE(WriteEmptyFile(root + L"\\a.mp3"));
    ASSERT_TRUE(WriteEmptyFile(root + L"\\b.mp3"));
    ContentsFixture fixture;
    std::vector<std::wstring> previous = {root + L"\\a.mp3", root + L"\\A.MP3", root + L"\\a.mp3"};
    std::vector<std::wstring> found;
    fixture.manager.SetScanningForWalk(true);
    fixture.manager.ScanFolder(root, &found, true, &previous, 0);
    EXPECT_EQ(std::vector<std::wstring>{root + L"\\b.mp3"}, found);
    // Compared exactly and with case: the upper-case entry stays.
    EXPECT_EQ((std::vector<std::wstring>{root + L"\\A.MP3", root + L"\\a.mp3"}), previous);
    RemoveTree(root);
}

TEST_F(SyncScanTest, EmptyScanEndsTheRun) {
    ContentsFixture fixture;
    fixture.manager.StartFolderScan();
    ASSERT_TRUE(WaitFor([&] { return fixture.coordinator.frameBusy.load() == 1; }));
    EXPECT_EQ(1, fixture.coordinator.ends.load());
    EXPECT_EQ(1, fixture.coordinator.progressResets.load());
    EXPECT_EQ(1, fixture.coordinator.finishedChecks.load());
}

TEST(SyncScanMatch, AnswersByExtensionAndScanKind) {
    struct Case {
        const wchar_t* path;
        int kind;
        int answer;
    } cases[] = {
        {L"C:\\a.mp3", 0, 0}, {L"C:\\a.MP3", 3, 0}, {L"C:\\a.mp3", 2, 1}, {L"C:\\a.wmv", 2, 0},
        {L"C:\\a.avi", 0, 1}, {L"C:\\a.jpg", 1, 0}, {L"C:\\a.jpg", 0, 1}, {L"C:\\a.txt", 0, 2},
        {L"C:\\noext", 3, 2}, {L"C:\\missing.mp4", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.answer, CContentsManager::MatchSyncScan(c.path, c.kind));
    }
}

}  // namespace
