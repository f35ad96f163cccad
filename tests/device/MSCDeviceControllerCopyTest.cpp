#include <gtest/gtest.h>

#include "library/content/TNContent.h"
#include "tests/device/DriveTestSupport.h"
#include "tests/device/HostileDestinations.h"

namespace {

constexpr size_t kBlock = 64 * 1024;

std::string Pattern(size_t size, char seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(seed + i * 7 + (i >> 12));
    return bytes;
}

class DriveCopyTest : public DrivePlayerTest {
protected:
    // A song whose file lies in the local scratch folder.
    std::unique_ptr<CTNContent> Song(const std::string& bytes, bool replaceExisting) {
        const std::wstring source = LocalScratchFolder() + L"\\source.mp3";
        EXPECT_TRUE(WriteBytes(source, bytes));
        auto content = std::make_unique<CTNContent>(0, CTNContent::kSong);
        content->sourcePath = source;
        content->replaceExisting = replaceExisting ? 1 : 0;
        return content;
    }
};

TEST_F(DriveCopyTest, CopiesInBlocksWithOneReportPerBlockAndCreatesFolders) {
    const std::string bytes = Pattern(3 * kBlock + 1000, 'a');
    auto song = Song(bytes, false);
    // The working copy, when there is one, is what goes to the player.
    const std::wstring working = LocalScratchFolder() + L"\\working.mp3";
    ASSERT_TRUE(WriteBytes(working, bytes));
    song->tempPath = working;
    song->sourcePath = L"C:\\does-not-exist.mp3";

    EXPECT_EQ(controller_.WriteContent(L"MUSIC\\Artist\\Album\\song.mp3", song.get()), S_OK);
    EXPECT_EQ(ReadBytes(root_ + L"MUSIC\\Artist\\Album\\song.mp3"), bytes);
    EXPECT_FALSE(IsHiddenPath(root_ + L"MUSIC\\Artist"));

    const uint32_t total = static_cast<uint32_t>(bytes.size());
    ASSERT_EQ(listener_.progress.size(), 5u);
    EXPECT_EQ(listener_.progress[0].written, 0u);
    for (size_t i = 1; i < 4; ++i) EXPECT_EQ(listener_.progress[i].written, i * kBlock);
    EXPECT_EQ(listener_.progress[4].written, total);
    for (const auto& report : listener_.progress) EXPECT_EQ(report.total, total);
}

TEST_F(DriveCopyTest, AnEmptyFileGivesOneReportAndAnEmptyTarget) {
    auto song = Song("", false);
    EXPECT_EQ(controller_.WriteContent(L"MUSIC\\empty.mp3", song.get()), S_OK);
    ASSERT_EQ(listener_.progress.size(), 1u);
    EXPECT_EQ(listener_.progress[0].written, 0u);
    EXPECT_EQ(listener_.progress[0].total, 0u);
    EXPECT_EQ(ReadBytes(root_ + L"MUSIC\\empty.mp3"), "");
}

TEST_F(DriveCopyTest, StoppingMidCopyKeepsThePlayersPreviousFile) {
    CreateDirectoryW((root_ + L"MUSIC").c_str(), nullptr);
    const std::wstring target = root_ + L"MUSIC\\song.mp3";
    struct Case {
        const char* what;
        bool staleBackup;
        bool replaceExisting;
    };
    for (const Case& c : {Case{"plain replace", false, true},
                          Case{"stale backup left by an earlier run", true, true}}) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteBytes(target, "previous"));
        if (c.staleBackup) {
            ASSERT_TRUE(WriteBytes(target + L".dat", "stale"));
        }
        listener_ = CRecordingListener();
        controller_.SetTransferring(true);
        listener_.controller = &controller_;
        listener_.stopAfterReports = 2;  // the start report and the first block
        auto song = Song(Pattern(4 * kBlock, 'x'), c.replaceExisting);

        EXPECT_EQ(controller_.WriteContent(L"MUSIC\\song.mp3", song.get()),
                  CDeviceControllerBase::kWriteStopped);
        EXPECT_EQ(ReadBytes(target), "previous");
        EXPECT_EQ(listener_.progress.size(), 2u);
        EXPECT_FALSE(Exists(target + L".dat"));
    }
}

TEST_F(DriveCopyTest, ReplacingOverAStaleBackupSucceedsAndLeavesNoBackup) {
    CreateDirectoryW((root_ + L"MUSIC").c_str(), nullptr);
    const std::wstring target = root_ + L"MUSIC\\song.mp3";
    ASSERT_TRUE(WriteBytes(target, "previous"));
    ASSERT_TRUE(WriteBytes(target + L".dat", "stale"));
    const std::string bytes = Pattern(kBlock + 5, 'n');
    auto song = Song(bytes, true);
    EXPECT_EQ(controller_.WriteContent(L"MUSIC\\song.mp3", song.get()), S_OK);
    EXPECT_EQ(ReadBytes(target), bytes);
    EXPECT_FALSE(Exists(target + L".dat"));
}

TEST_F(DriveCopyTest, AMissingSourceFailsWithoutTouchingTheTarget) {
    CreateDirectoryW((root_ + L"MUSIC").c_str(), nullptr);
    const std::wstring target = root_ + L"MUSIC\\song.mp3";
    ASSERT_TRUE(WriteBytes(target, "previous"));
    CTNContent content(0, CTNContent::kSong);
    content.sourcePath = LocalScratchFolder() + L"\\missing.mp3";
    content.replaceExisting = 1;
    EXPECT_EQ(controller_.WriteContent(L"MUSIC\\song.mp3", &content), E_FAIL);
    EXPECT_EQ(ReadBytes(target), "previous");
    EXPECT_TRUE(listener_.progress.empty());
}

// Every file below the folder, with its bytes, hidden ones included.
void ListFiles(const std::wstring& folder, std::vector<std::pair<std::wstring, std::string>>* files) {
    WIN32_FIND_DATAW entry = {};
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            files->emplace_back(folder + name + L"\\", "<folder>");
            ListFiles(folder + name + L"\\", files);
        } else {
            files->emplace_back(folder + name, ReadBytes(folder + name));
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

TEST_F(DriveCopyTest, HostileDestinationsAreRefusedAndNothingOnThePlayerChanges) {
    CreateDirectoryW((root_ + L"MUSIC").c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(root_ + L"MUSIC\\song.mp3", "previous"));
    std::vector<std::pair<std::wstring, std::string>> before;
    ListFiles(root_, &before);
    for (const std::wstring& destination : HostileDestinations()) {
        SCOPED_TRACE(testing::PrintToString(destination));
        for (bool replace : {false, true}) {
            auto song = Song("abc", replace);
            EXPECT_EQ(controller_.WriteContent(destination, song.get()), E_INVALIDARG);
        }
        std::vector<std::pair<std::wstring, std::string>> after;
        ListFiles(root_, &after);
        EXPECT_EQ(after, before);
    }
    EXPECT_TRUE(listener_.progress.empty());
}

TEST_F(DriveCopyTest, HiddenCarAudioFilesAndTheirNewFoldersAreHidden) {
    auto file = Song("zep", false);
    file->kind = 12;
    EXPECT_EQ(controller_.WriteContent(L"Tavrel_Automotive\\HVC\\CID001.ZEP", file.get()), S_OK);
    EXPECT_TRUE(IsHiddenPath(root_ + L"Tavrel_Automotive"));
    EXPECT_TRUE(IsHiddenPath(root_ + L"Tavrel_Automotive\\HVC"));
    EXPECT_TRUE(IsHiddenPath(root_ + L"Tavrel_Automotive\\HVC\\CID001.ZEP"));
    EXPECT_TRUE(listener_.progress.empty()) << "no progress for the hidden files";
}

TEST_F(DriveCopyTest, AFullDriveGivesDiskFullAndNoPartialFile) {
    const std::wstring full = FullDriveLetter();
    if (full.empty()) GTEST_SKIP() << "no tmpfs drive: this machine cannot mount one";
    const wchar_t letter = full[0];
    EmptyFolder(RootOf(letter));
    MakePlayer(letter, L"1234_0ab1_FULL");
    facts_.Hide(Letter(0));
    ASSERT_EQ(controller_.FindDevice(), CDeviceControllerBase::kDeviceReplaced);
    ASSERT_EQ(controller_.GetRootPath(), RootOf(letter));

    const std::wstring target = RootOf(letter) + L"MUSIC\\big.mp3";
    // Larger than the whole 1 MiB volume.
    auto song = Song(Pattern(2 * 1024 * 1024, 'f'), false);
    EXPECT_EQ(controller_.WriteContent(L"MUSIC\\big.mp3", song.get()),
              static_cast<HRESULT>(0x80070070));
    EXPECT_FALSE(Exists(target));
    EmptyFolder(RootOf(letter));
}

TEST_F(DriveCopyTest, DeleteContentRemovesFilesAndOnlyEmptyFolders) {
    CreateDirectoryW((root_ + L"MUSIC").c_str(), nullptr);
    CreateDirectoryW((root_ + L"MUSIC\\Album").c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(root_ + L"MUSIC\\Album\\a.mp3", "a"));
    EXPECT_FALSE(controller_.DeleteContent(L""));
    EXPECT_FALSE(controller_.DeleteContent(root_ + L"MUSIC\\Album")) << "not empty yet";
    EXPECT_TRUE(controller_.DeleteContent(root_ + L"MUSIC\\Album\\a.mp3"));
    EXPECT_TRUE(controller_.DeleteContent(root_ + L"MUSIC\\Album"));
    EXPECT_FALSE(Exists(root_ + L"MUSIC\\Album"));
}

TEST_F(DriveCopyTest, AStopBeforeTheWriteStartsHoldsUntilWritesAreAllowedAgain) {
    CreateDirectoryW((root_ + L"MUSIC").c_str(), nullptr);
    const std::wstring target = root_ + L"MUSIC\\song.mp3";
    ASSERT_TRUE(WriteBytes(target, "previous"));
    std::vector<std::pair<std::wstring, std::string>> before;
    ListFiles(root_, &before);

    // The owner's cancel came after it decided to write and before the controller was called.
    controller_.SetTransferring(false);
    struct Case {
        const wchar_t* destination;
        bool replace;
        const char* bytes;
    };
    for (const Case& c : {Case{L"MUSIC\\song.mp3", false, "new"}, Case{L"MUSIC\\song.mp3", true, "new"},
                          Case{L"MUSIC\\song.mp3", true, ""}, Case{L"NEW\\Deep\\song.mp3", false, "new"}}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.destination)));
        auto song = Song(c.bytes, c.replace);
        EXPECT_EQ(controller_.WriteContent(c.destination, song.get()), CDeviceControllerBase::kWriteStopped);
        std::vector<std::pair<std::wstring, std::string>> after;
        ListFiles(root_, &after);
        EXPECT_EQ(after, before);
    }
    EXPECT_TRUE(listener_.progress.empty());

    controller_.SetTransferring(true);
    auto next = Song("next", false);
    ASSERT_EQ(controller_.WriteContent(L"NEW\\Deep\\next.mp3", next.get()), S_OK);
    EXPECT_EQ(ReadBytes(root_ + L"NEW\\Deep\\next.mp3"), "next");
}

TEST_F(DriveCopyTest, AnExistingFileSurvivesAStoppedOrFailedWriteInEveryReplaceMode) {
    const std::wstring full = FullDriveLetter();
    struct Player {
        std::wstring root;
        bool fillsUp;
    };
    std::vector<Player> players{{root_, false}};
    if (!full.empty()) {
        EmptyFolder(RootOf(full[0]));
        MakePlayer(full[0], L"1234_0ab1_FULL");
        players.push_back({RootOf(full[0]), true});
    }
    for (const Player& player : players) {
        if (player.fillsUp) {
            facts_.Hide(Letter(0));
            ASSERT_EQ(controller_.FindDevice(), CDeviceControllerBase::kDeviceReplaced);
        }
        CreateDirectoryW((player.root + L"MUSIC").c_str(), nullptr);
        const std::wstring target = player.root + L"MUSIC\\song.mp3";
        for (bool replace : {false, true}) {
            SCOPED_TRACE(testing::Message() << (player.fillsUp ? "full drive" : "stopped") << ", replace " << replace);
            ASSERT_TRUE(WriteBytes(target, "previous"));
            listener_ = CRecordingListener();
            controller_.SetTransferring(true);
            listener_.controller = player.fillsUp ? nullptr : &controller_;
            listener_.stopAfterReports = 2;
            // Larger than the whole 1 MiB volume.
            auto song = Song(Pattern(2 * 1024 * 1024 + 3, 'z'), replace);
            const HRESULT expected = player.fillsUp ? static_cast<HRESULT>(0x80070070) : CDeviceControllerBase::kWriteStopped;
            EXPECT_EQ(controller_.WriteContent(L"MUSIC\\song.mp3", song.get()), expected);
            EXPECT_EQ(ReadBytes(target), "previous");
            EXPECT_FALSE(Exists(target + L".dat"));
        }
    }
    if (!full.empty()) EmptyFolder(RootOf(full[0]));
}

TEST_F(DriveCopyTest, AFolderNamedLikeTheTargetIsNeverMovedAside) {
    CreateDirectoryW((root_ + L"MUSIC").c_str(), nullptr);
    CreateDirectoryW((root_ + L"MUSIC\\Album").c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(root_ + L"MUSIC\\Album\\a.mp3", "a"));
    for (bool replace : {false, true}) {
        auto song = Song("new", replace);
        EXPECT_EQ(controller_.WriteContent(L"MUSIC\\Album", song.get()), E_FAIL);
        EXPECT_EQ(ReadBytes(root_ + L"MUSIC\\Album\\a.mp3"), "a");
        EXPECT_FALSE(Exists(root_ + L"MUSIC\\Album.dat"));
    }
}

}  // namespace
