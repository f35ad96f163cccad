// The coordinator's view of the sync file lists lands in the current player's list files.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/dialogs/QBSyncFileLists.h"
#include "app/dialogs/SyncLists.h"
#include "tests/app/dialogs/DialogTestSupport.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(QBSyncFileListsTest, EachKindIsKeptInItsOwnFileAndResetEmptiesIt) {
    CScratchPlayer player;
    ASSERT_TRUE(player.IsActive());
    CQBSyncFileLists lists;
    ISyncFileLists& coordinatorView = lists;
    ASSERT_TRUE(coordinatorView.AppendSyncFileListLine(0, L"C:\\Music\\a.mp3"));
    ASSERT_TRUE(coordinatorView.AppendSyncFileListLine(0, L"C:\\Music\\b.mp3"));
    ASSERT_TRUE(coordinatorView.AppendSyncFileListLine(3, L"C:\\Podcasts\\c.mp3"));

    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(player.DataFolder() + L"SyncFileListMusic.dat", &bytes));
    EXPECT_EQ(bytes, "C:\\Music\\a.mp3\r\nC:\\Music\\b.mp3\r\n");
    std::vector<std::wstring> music, podcasts, movies;
    ASSERT_TRUE(coordinatorView.ReadSyncFileList(0, &music));
    EXPECT_THAT(music, ElementsAre(L"C:\\Music\\a.mp3", L"C:\\Music\\b.mp3"));
    ASSERT_TRUE(coordinatorView.ReadSyncFileList(3, &podcasts));
    EXPECT_THAT(podcasts, ElementsAre(L"C:\\Podcasts\\c.mp3"));
    ASSERT_TRUE(coordinatorView.ReadSyncFileList(2, &movies));
    EXPECT_THAT(movies, IsEmpty());

    ASSERT_TRUE(coordinatorView.ResetSyncFileList(0));
    music.clear();
    ASSERT_TRUE(coordinatorView.ReadSyncFileList(0, &music));
    EXPECT_THAT(music, IsEmpty());
    podcasts.clear();
    ASSERT_TRUE(coordinatorView.ReadSyncFileList(3, &podcasts));
    EXPECT_THAT(podcasts, ElementsAre(L"C:\\Podcasts\\c.mp3"));
    // Images (kind 1) have no list.
    EXPECT_FALSE(coordinatorView.AppendSyncFileListLine(1, L"C:\\Pictures\\d.jpg"));
}
