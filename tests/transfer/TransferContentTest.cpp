// Contents pushed into the transfer manager land at their destinations on a scripted player, and
// their outcomes in the right lists and reports.
#include "tests/transfer/TransferTestSupport.h"

#include "library/content/TNContentHandler.h"
#include "library/util/FileSystem.h"

namespace {
std::string Read(const std::wstring& path) {
    std::string bytes;
    return ReadWholeFile(path, &bytes) ? bytes : "<missing>";
}

bool FileThere(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The end of a chain: keeps what reaches it.
class CCollector : public CTNContentHandler {
public:
    void AddContent(CTNContent* content) override {
        kinds.push_back(content->kind);
        CTNContentHandler::AddContent(content);
    }
    std::vector<uint32_t> kinds;
};
}  // namespace

TEST_F(TransferTest, EveryKindLandsInItsFolder) {
    SetUpPlayer(StandardCapability(/*feedFormat=*/true));
    struct Case {
        uint32_t kind;
        std::wstring relative;
        std::wstring expected;
    };
    const Case cases[] = {
        {CTNContent::kSong, L"Artist\\Album\\a.mp3", L"MUSIC\\Artist\\Album\\a.mp3"},
        {CTNContent::kAudioEpisode, L"Show\\e.mp3", L"FEEDS\\AUDIO\\Show\\e.mp3"},
        {CTNContent::kPicture, L"p.jpg", L"PICS\\p.jpg"},
        {CTNContent::kVideo, L"v.mp4", L"MOVIES\\v.mp4"},
        {CTNContent::kVideoEpisode, L"Show\\v.mp4", L"FEEDS\\VIDEO\\Show\\v.mp4"},
        {CTNContent::kFeedFile, L"show.opml", L"FEEDS\\show.opml"},
    };
    for (const Case& c : cases) {
        auto content = Content(c.kind, c.relative, "bytes of " + std::to_string(c.kind));
        EXPECT_EQ(c.expected, manager_->BuildDestinationPath(content.get()));
        Push(std::move(content));
        EXPECT_EQ("bytes of " + std::to_string(c.kind), Read(mtp_.Full(c.expected))) << c.kind;
    }
    EXPECT_EQ(6, listener_.processed);
    EXPECT_TRUE(manager_->GetFailedList().empty());
    EXPECT_TRUE(manager_->GetUnlistedKind1List().empty());
    // Progress: (0, total) before the first block, then the bytes written.
    ASSERT_GE(listener_.progress.size(), 2u);
    EXPECT_EQ(0u, listener_.progress[0].first);
    EXPECT_EQ(listener_.progress[1].second, listener_.progress[1].first);
}

TEST_F(TransferTest, EpisodesWithoutFeedFormatsGoToTheMediaFoldersAndAreListed) {
    SetUpPlayer(StandardCapability(/*feedFormat=*/false));
    Push(Content(CTNContent::kAudioEpisode, L"Show\\e.mp3"));
    Push(Content(CTNContent::kVideoEpisode, L"Show\\v.mp4"));
    EXPECT_TRUE(FileThere(mtp_.Full(L"MUSIC\\Show\\e.mp3")));
    EXPECT_TRUE(FileThere(mtp_.Full(L"MOVIES\\Show\\v.mp4")));
    EXPECT_EQ(std::vector<std::wstring>{L"MUSIC\\Show\\e.mp3"}, manager_->GetUnlistedKind1List());
    EXPECT_EQ(std::vector<std::wstring>{L"MOVIES\\Show\\v.mp4"}, manager_->GetUnlistedKind4List());
    manager_->ClearUnlistedKind1List();
    manager_->ClearUnlistedKind4List();
    EXPECT_TRUE(manager_->GetUnlistedKind1List().empty());
    EXPECT_TRUE(manager_->GetUnlistedKind4List().empty());
}

TEST_F(TransferTest, FailuresAreSortedIntoTheirLists) {
    SetUpPlayer(StandardCapability());
    mtp_.writeResults[L"drm.wma"] = static_cast<HRESULT>(0xC00D2710);
    mtp_.writeResults[L"last.wma"] = static_cast<HRESULT>(0xC00D2AF7);
    mtp_.writeResults[L"outside.wma"] = static_cast<HRESULT>(0xC00D2AF8);
    mtp_.writeResults[L"broken.mp3"] = E_FAIL;
    mtp_.writeResults[L"flagged.mp3"] = E_FAIL;
    Push(Content(CTNContent::kSong, L"drm.wma"));
    Push(Content(CTNContent::kSong, L"last.wma"));
    Push(Content(CTNContent::kSong, L"outside.wma"));
    Push(Content(CTNContent::kSong, L"broken.mp3"));
    auto flagged = Content(CTNContent::kSong, L"flagged.mp3");
    flagged->unsupported = 1;
    Push(std::move(flagged));
    // A kind with no folder has no destination and never reaches the player.
    Push(Content(9, L"strange.bin"));

    EXPECT_EQ((std::vector<std::wstring>{L"MUSIC\\drm.wma", L"MUSIC\\last.wma", L"MUSIC\\flagged.mp3"}),
              manager_->GetUnsupportedList());
    EXPECT_EQ((std::vector<std::wstring>{L"MUSIC\\outside.wma", L"MUSIC\\broken.mp3", L""}),
              manager_->GetFailedList());
    for (const std::wstring& write : mtp_.writes) EXPECT_FALSE(write.empty());
    EXPECT_EQ(6, listener_.processed);
    manager_->ClearFailedList();
    manager_->ClearUnsupportedList();
    EXPECT_TRUE(manager_->GetFailedList().empty());
    EXPECT_TRUE(manager_->GetUnsupportedList().empty());
}

TEST_F(TransferTest, SyncResultsCarryTheirListKindAndAreReportedWithoutTheLock) {
    SetUpPlayer(StandardCapability());
    mtp_.writeResults[L"bad"] = E_FAIL;
    const struct {
        uint32_t syncKind;
        int listKind;
        std::wstring name;
    } cases[] = {{1, 0, L"a.mp3"}, {2, 2, L"b.mp4"}, {3, 3, L"c.mp3"}, {7, 0, L"d.mp3"}, {2, 2, L"bad.mp4"}};
    std::vector<std::pair<int, std::wstring>> expected;
    for (const auto& c : cases) {
        auto content = Content(CTNContent::kSong, c.name);
        content->syncKind = c.syncKind;
        expected.push_back({c.listKind, content->sourcePath});
        Push(std::move(content));
    }
    Push(Content(CTNContent::kSong, L"unsynced.mp3"));
    EXPECT_EQ(expected, listener_.results);
}

TEST_F(TransferTest, DiskFullIsReportedForEveryLaterContentUntilReset) {
    SetUpPlayer(StandardCapability());
    mtp_.writeResults[L"full.mp3"] = CTransferManager::kDiskFull;
    Push(Content(CTNContent::kSong, L"first.mp3"));
    Push(Content(CTNContent::kSong, L"full.mp3"));
    Push(Content(CTNContent::kSong, L"after.mp3"));
    EXPECT_EQ(1, listener_.processed);
    EXPECT_EQ(2, listener_.diskFull);
    EXPECT_TRUE(manager_->GetFailedList().empty());
    // Writing went on: the coordinator is the one that stops the run.
    EXPECT_TRUE(FileThere(mtp_.Full(L"MUSIC\\after.mp3")));

    manager_->Reset();
    Push(Content(CTNContent::kSong, L"next-run.mp3"));
    EXPECT_EQ(2, listener_.processed);
    EXPECT_EQ(2, listener_.diskFull);
}

TEST_F(TransferTest, VideoCompanionIsWrittenButNotCounted) {
    SetUpPlayer(StandardCapability());
    sources_.WriteFile(L"cover.thm", "thumbnail");
    auto video = Content(CTNContent::kVideo, L"clip.mp4", "video bytes");
    video->companionSourcePath = sources_.Join(L"cover.thm");
    video->companionRelativePath = L"clip.thm";
    Push(std::move(video));
    EXPECT_EQ("video bytes", Read(mtp_.Full(L"MOVIES\\clip.mp4")));
    EXPECT_EQ("thumbnail", Read(mtp_.Full(L"MOVIES\\clip.thm")));
    EXPECT_FALSE(FileThere(sources_.Join(L"cover.thm")));
    EXPECT_EQ(1u, manager_->GetTotalCount());
    EXPECT_EQ(1, listener_.processed);

    // A companion record passing through counts by kind, not in the total.
    Push(Content(CTNContent::kVideoCompanion, L"loose.thm"));
    EXPECT_EQ(1u, manager_->GetKindCount(CTNContent::kVideoCompanion));
    EXPECT_EQ(1u, manager_->GetTotalCount());
}

TEST_F(TransferTest, SourceIsDeletedOnlyAfterASuccessfulWriteOrADeliberateSkip) {
    SetUpPlayer(StandardCapability());
    mtp_.writeResults[L"fails.mp3"] = E_FAIL;
    auto moved = Content(CTNContent::kSong, L"moved.mp3");
    moved->deleteSource = 1;
    moved->replaceExisting = 1;
    const std::wstring movedSource = moved->sourcePath;
    auto failing = Content(CTNContent::kSong, L"fails.mp3");
    failing->deleteSource = 1;
    failing->replaceExisting = 1;
    const std::wstring failingSource = failing->sourcePath;
    auto skipped = Content(CTNContent::kSong, L"skipped.mp3");
    skipped->deleteSource = 1;
    const std::wstring skippedSource = skipped->sourcePath;
    Push(std::move(moved));
    Push(std::move(failing));
    Push(std::move(skipped));
    EXPECT_TRUE(FileThere(mtp_.Full(L"MUSIC\\moved.mp3")));
    EXPECT_FALSE(FileThere(movedSource));
    EXPECT_TRUE(FileThere(failingSource)) << "the user's file went although the write failed";
    EXPECT_FALSE(FileThere(mtp_.Full(L"MUSIC\\skipped.mp3")));
    EXPECT_FALSE(FileThere(skippedSource));
}

TEST_F(TransferTest, WorkingCopyIsDeletedAfterTheWriteAndSkippedContentsPassUntouched) {
    SetUpPlayer(StandardCapability());
    auto content = Content(CTNContent::kSong, L"t.mp3", "converted", /*temp=*/true);
    const std::wstring temp = content->tempPath;
    Push(std::move(content));
    EXPECT_EQ("converted", Read(mtp_.Full(L"MUSIC\\t.mp3")));
    EXPECT_FALSE(FileThere(temp));

    auto skipped = Content(CTNContent::kSong, L"s.mp3");
    skipped->skip = 1;
    Push(std::move(skipped));
    EXPECT_FALSE(FileThere(mtp_.Full(L"MUSIC\\s.mp3")));

    Push(Content(CTNContent::kPlaylist, L"list"));
    EXPECT_EQ(1, std::count(mtp_.calls.begin(), mtp_.calls.end(), L"WritePlaylist"));
    EXPECT_EQ(3, listener_.processed);
}

TEST_F(TransferTest, ChainEndingInTheManagerForwardsToTheNextStage) {
    SetUpPlayer(StandardCapability());
    CCollector after;
    manager_->SetNext(&after);
    Push(Content(CTNContent::kSong, L"one.mp3"));
    Push(Content(CTNContent::kPicture, L"two.jpg"));
    EXPECT_EQ((std::vector<uint32_t>{CTNContent::kSong, CTNContent::kPicture}), after.kinds);
    manager_->SetNext(nullptr);
}

TEST_F(TransferTest, ResetWaitsForTheContentInWorkBeforeClearingDiskFull) {
    SetUpPlayer(StandardCapability());
    CScopedHandle started(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    CScopedHandle hold(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    mtp_.writeStarted = started.Get();
    mtp_.holdWrite = hold.Get();
    mtp_.writeResults[L"full.mp3"] = CTransferManager::kDiskFull;
    manager_->PostContent(Content(CTNContent::kSong, L"full.mp3").release());
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(started.Get(), 10000));

    // The coordinator cancels and re-opens while the write that finds the player full still runs.
    manager_->CancelTransfer();
    HANDLE reset = CreateThread(
        nullptr, 0,
        [](void* manager) WINAPI -> DWORD {
            static_cast<CTransferManager*>(manager)->Reset();
            return 0;
        },
        manager_.get(), 0, nullptr);
    ASSERT_NE(nullptr, reset);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(reset, 200)) << "Reset waits for the write";
    SetEvent(hold.Get());
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(reset, 10000));
    CloseHandle(reset);
    mtp_.holdWrite = nullptr;

    EXPECT_FALSE(manager_->IsDiskFull());
    Push(Content(CTNContent::kSong, L"next-run.mp3"));
    EXPECT_EQ(0, listener_.diskFull);
    EXPECT_TRUE(FileThere(mtp_.Full(L"MUSIC\\next-run.mp3")));
}

TEST_F(TransferTest, CancelStopsTheWriteKeepsNoPartialFileAndTheNextRunWorks) {
    SetUpPlayer(StandardCapability());
    CScopedHandle started(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    CScopedHandle hold(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    mtp_.writeStarted = started.Get();
    mtp_.holdWrite = hold.Get();
    sources_.WriteFile(L"existing.mp3", "old");
    CreateFolderTree(mtp_.Full(L"MUSIC"));
    CopyFileW(sources_.Join(L"existing.mp3").c_str(), mtp_.Full(L"MUSIC\\existing.mp3").c_str(), FALSE);

    manager_->PostContent(Content(CTNContent::kSong, L"big.mp3", std::string(64 * 1024, 'x')).release());
    manager_->PostContent(Content(CTNContent::kSong, L"queued.mp3").release());
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(started.Get(), 10000));
    manager_->CancelTransfer();
    SetEvent(hold.Get());
    WaitIdle();
    EXPECT_FALSE(FileThere(mtp_.Full(L"MUSIC\\big.mp3")));
    EXPECT_FALSE(FileThere(mtp_.Full(L"MUSIC\\queued.mp3")));
    EXPECT_EQ("old", Read(mtp_.Full(L"MUSIC\\existing.mp3")));
    EXPECT_TRUE(manager_->GetFailedList().empty());
    EXPECT_NE(mtp_.calls.end(), std::find(mtp_.calls.begin(), mtp_.calls.end(), L"ClearPending"));

    mtp_.holdWrite = nullptr;
    manager_->Reset();
    Push(Content(CTNContent::kSong, L"again.mp3", "again"));
    EXPECT_EQ("again", Read(mtp_.Full(L"MUSIC\\again.mp3")));
}

TEST_F(TransferTest, TooDeepDestinationIsNoticed) {
    SetUpPlayer(StandardCapability());
    Push(Content(CTNContent::kSong, L"a\\b.mp3"));
    EXPECT_FALSE(manager_->IsTooDeep());
    // The sound folder allows a depth of 3; "MUSIC\a\b\c\d\e.mp3" is 4 deep.
    Push(Content(CTNContent::kSong, L"a\\b\\c\\d.mp3"));
    EXPECT_FALSE(manager_->IsTooDeep());
    Push(Content(CTNContent::kSong, L"a\\b\\c\\d\\e.mp3"));
    EXPECT_TRUE(manager_->IsTooDeep());
}

TEST_F(TransferTest, NothingIsWrittenWithoutAPlayer) {
    ASSERT_EQ(S_OK, manager_->Start());
    Push(Content(CTNContent::kSong, L"a.mp3"));
    EXPECT_TRUE(mtp_.writes.empty());
    EXPECT_TRUE(msc_.writes.empty());
    EXPECT_EQ(0u, manager_->GetFreeSpace());
    EXPECT_EQ(L"", manager_->GetVolumeInfo());
}
