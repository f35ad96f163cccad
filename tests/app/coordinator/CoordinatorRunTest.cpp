// Runs as the coordinator sees them: start and stop of the chain, the end-of-run check, the run
// report, progress and free-space events, and the automation entry points.
#include "tests/app/coordinator/CoordinatorTestSupport.h"

#include "app/coordinator/AutomationEventText.h"
#include "app/coordinator/RunReport.h"
#include "library/device/QBTreeNode.h"
#include "library/util/Settings.h"

namespace {

std::wstring BracketedId(UINT id) { return L"[" + std::to_wstring(id) + L"]"; }

// Records the dialogs the coordinator runs; each waits for `release` (when set).
class CRecordingDialogs : public ICoordinatorDialogs {
public:
    CRecordingDialogs() : release(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}
    ~CRecordingDialogs() { CloseHandle(release); }
    INT_PTR RunSettingsSheet(CQBCommonManager*, const SettingsSheetArgs&) override {
        Record(L"settings");
        return IDCANCEL;
    }
    bool RunDeleteDialog(CQBCommonManager*, int32_t kind, HWND volatile*) override {
        Record(L"delete " + std::to_wstring(kind));
        return false;
    }
    INT_PTR RunSyncSelectDialog(CQBCommonManager*, int32_t kind, HWND volatile*, std::wstring* presets) override {
        Record(L"sync " + std::to_wstring(kind));
        *presets = L"a|b|c";
        return IDOK;
    }
    void RunLogDialog(const std::wstring& report) override { Record(L"log " + report); }
    int GetEffectiveSyncPreset(int kind) override { return kind; }
    int GetSyncPresetName(int) override { return -1; }
    void OnFolderTree(CQBTreeNode* root) override { RecordTree(L"tree", root); }
    void OnContentDeleted() override { Record(L"deleted one"); }
    void OnDeleteFinished(CQBTreeNode* root, uint64_t freeBytes) override {
        RecordTree(L"rebuilt, free " + std::to_wstring(freeBytes), root);
    }

    std::vector<std::wstring> Runs() {
        CScopedLock lock(lock_);
        return runs_;
    }
    HANDLE release;

private:
    void RecordTree(const std::wstring& report, CQBTreeNode* root) {
        std::unique_ptr<CQBTreeNode> owned(root);
        Record(report + L" " + (owned ? owned->GetName() : L"none"));
    }
    void Record(const std::wstring& run) {
        WaitForSingleObject(release, kEventWaitMs);
        CScopedLock lock(lock_);
        runs_.push_back(run);
    }
    CCriticalSection lock_;
    std::vector<std::wstring> runs_;
};

}  // namespace

TEST_F(CoordinatorTest, InitializeStartsTheChainFromItsEndAndShutdownStopsInItsOwnOrder) {
    ASSERT_EQ(S_OK, coordinator_->Initialize());
    coordinator_->Shutdown();
    const std::vector<std::wstring> expected = {
        L"start coordinator",      L"start transfer",   L"start data insert", L"start analysis",
        L"start lookup",           L"start checker",    L"start movie conversion", L"start contents",
        L"publish entry point",    L"stop contents",    L"stop transfer",     L"stop data insert",
        L"stop analysis",          L"stop lookup",      L"stop checker",      L"stop movie conversion",
        L"stop coordinator",
    };
    EXPECT_EQ(expected, coordinator_->LifecycleLog());
    EXPECT_EQ((std::vector<bool>{true, false}), events_.published);
    // A second shut-down (the destructor's) finds nothing left to do.
    coordinator_->Shutdown();
    EXPECT_EQ(expected, coordinator_->LifecycleLog());
}

TEST(RunReport, ComposesTheNonEmptyListsInOrder) {
    const std::vector<RunReportSection> sections = {
        {179, {L"b1", L"b2"}, {}, false}, {180, {}, {}, false},          {175, {L"c"}, {}, false},
        {183, {L"failed.mp3"}, {}, false}, {173, {L"ep.mp3"}, L"PODCASTS\\", true},
    };
    EXPECT_EQ(L"[179]b1\r\nb2\r\n[184][175]c\r\n[184][183]failed.mp3\r\n[184][173]PODCASTS\\ep.mp3\r\n[184]",
              ComposeRunReport(sections, BracketedId));
    EXPECT_EQ(L"", ComposeRunReport({{179, {}, {}, false}, {173, {}, L"X", true}}, BracketedId));
}

TEST(RunReport, FolderGoesIntoTheHeadingsOneInsertion) {
    struct Case {
        const wchar_t* heading;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"Written to %s without feeds:\r\n", L"Written to MUSIC\\ without feeds:\r\n"},
        {L"Into %ls:", L"Into MUSIC\\:"},
        {L"100%% %d %s", L"100%% %d MUSIC\\"},
        {L"no insertion ", L"no insertion MUSIC\\"},
        {L"trailing %", L"trailing %MUSIC\\"},
    };
    for (const Case& test : cases) EXPECT_EQ(test.expected, InsertText(test.heading, L"MUSIC\\"));
}

TEST_F(CoordinatorTest, RunWithEmptyListsComposesNoReportAndPostsNoError) {
    EXPECT_FALSE(coordinator_->OnRunFinished());
    EXPECT_EQ(0, coordinator_->WriteRunReport());
    EXPECT_EQ(L"", coordinator_->GetRunReport());
    EXPECT_EQ(0, events_.Count(IAutomationEvents::kTransferError));
}

TEST_F(CoordinatorTest, CancelledRunReportsEndAndZeroesEveryCounter) {
    ASSERT_EQ(S_OK, coordinator_->Initialize());
    coordinator_->ContentsStage().SetAnnouncedCount(5);
    coordinator_->NotifyItemDone();
    EXPECT_TRUE(coordinator_->IsBusy());
    EXPECT_FALSE(coordinator_->CancelRun(true));
    EXPECT_EQ(1, events_.Count(IAutomationEvents::kEnd));
    EXPECT_FALSE(coordinator_->IsBusy());
    EXPECT_EQ(0, coordinator_->ContentsStage().GetAnnouncedCount());
    EXPECT_EQ(0u, coordinator_->TransferStage().GetTotalCount());
}

TEST_F(CoordinatorTest, EndOfTransferCheckCountsItemsDoneAndEndsTheRunOnce) {
    ASSERT_EQ(S_OK, coordinator_->Initialize());
    coordinator_->ContentsStage().SetAnnouncedCount(3);
    for (int i = 0; i < 3; ++i) coordinator_->NotifyItemDone();
    EXPECT_EQ(1, events_.Count(IAutomationEvents::kEnd));
    // The file counts never pass the accepted count.
    for (const std::wstring& text : events_.Texts(IAutomationEvents::kUpdateFileNum)) {
        const int current = std::stoi(text.substr(0, text.find(L'|')));
        EXPECT_LE(current, 3) << text;
        EXPECT_EQ(L"3", text.substr(text.find(L'|') + 1));
    }
    EXPECT_FALSE(coordinator_->IsBusy());
}

TEST_F(CoordinatorTest, FinishedWithNothingAcceptedResetsCountersWithoutEndingARun) {
    ASSERT_EQ(S_OK, coordinator_->Initialize());
    coordinator_->TransferStage().CountFinishedElsewhere();
    coordinator_->CheckTransferFinished();
    EXPECT_EQ(0u, coordinator_->TransferStage().GetTotalCount());
    EXPECT_EQ(0, events_.Count(IAutomationEvents::kEnd));
}

TEST_F(CoordinatorTest, FreeSpaceEventInKibRoundedUpWithOtherDataNeverNegative) {
    struct Case {
        uint64_t values[7];  // music, images, movies, podcasts, other files, free, capacity
        const wchar_t* expected;
    };
    const Case cases[] = {
        // Other data: 6144 bytes in use less 2050 in the kinds; the file count is not a size.
        {{0, 1, 1024, 1025, 3, 4096, 10240}, L"0|1|1|2|4|4|10"},
        // More in the kinds than the capacity holds: other data is 0, not a wrapped figure.
        {{8192, 0, 0, 0, 0, 2048, 4096}, L"8|0|0|0|0|2|4"},
        // No capacity reported at all.
        {{1, 0, 0, 0, 0, 0, 0}, L"1|0|0|0|0|0|0"},
        {{0, 0, 0, 0, 0, 1ull << 45, 1ull << 46}, L"0|0|0|0|2147483647|2147483647|2147483647"},
    };
    for (const Case& test : cases) {
        events_.Clear();
        const uint64_t* v = test.values;
        coordinator_->OnDeviceContents(v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
        EXPECT_EQ(std::vector<std::wstring>{test.expected}, events_.Texts(IAutomationEvents::kUpdateFreeSpace));
    }
}

TEST_F(CoordinatorTest, TransferProgressNeverDividesByZero) {
    struct Case {
        uint32_t done;
        uint32_t total;
        const wchar_t* expected;
    };
    const Case cases[] = {{0, 0, L"3||100|0"}, {0, 10, L"3||0|0"}, {5, 10, L"3||50|0"},
                          {7, 0, L"3||100|0"}, {11, 10, L"3||100|0"}, {0xFFFFFFFF, 0xFFFFFFFF, L"3||100|0"}};
    for (const Case& test : cases) {
        events_.Clear();
        coordinator_->OnWriteProgress(test.done, test.total);
        EXPECT_EQ(std::vector<std::wstring>{test.expected}, events_.Texts(IAutomationEvents::kProgress));
    }
}

TEST(AutomationEventText, FieldsAndRounding) {
    EXPECT_EQ(L"1|-2|0", JoinEventFields({L"1", L"-2", L"0"}));
    EXPECT_EQ(L"2|song.mp3|40|-1", ProgressEventText(2, L"song.mp3", 40, -1));
    EXPECT_EQ(L"4|9", FileNumEventText(4, 9));
    EXPECT_EQ(0, KibRoundedUp(0));
    EXPECT_EQ(1, KibRoundedUp(1));
    EXPECT_EQ(1, KibRoundedUp(1024));
    EXPECT_EQ(2, KibRoundedUp(1025));
    EXPECT_EQ(INT32_MAX, KibRoundedUp(UINT64_MAX));
}

TEST_F(CoordinatorTest, UpdateSettingReadsEveryOtherCharacter) {
    ASSERT_TRUE(SetCurrentDevId(L"dev7"));
    struct Case {
        const wchar_t* flags;
        bool music, movie, podcast, autoSync;
    };
    const Case cases[] = {
        {L"1,0,1,1", true, false, true, true},
        {L"0 1 0 0", false, true, false, false},
        {L"1111111", true, true, true, true},   // characters 1, 3, 5 are not switches
        {L"1,1", true, true, false, false},     // missing switches are off
        {L"", false, false, false, false},
        {L"2,x,1,0", false, false, true, false}, // only '1' is on
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(test.flags)));
        CBstrHolder flags(test.flags);
        coordinator_->UpdateSetting(flags);
        EXPECT_EQ(test.music, ReadSyncEnabled(0));
        EXPECT_EQ(test.movie, ReadSyncEnabled(2));
        EXPECT_EQ(test.podcast, ReadSyncEnabled(3));
        EXPECT_EQ(test.autoSync, ReadSyncAutoexec());
    }
}

TEST_F(CoordinatorTest, UpdateAnalysisModeWritesOnlyKnownModes) {
    for (const auto& test : std::vector<std::pair<int32_t, DWORD>>{{1, 1}, {2, 2}, {0, 0}, {5, 0}, {-1, 0}}) {
        coordinator_->UpdateAnalysisMode(test.first);
        DWORD stored = 99;
        ASSERT_TRUE(ReadSetting(L"AnalysisMode", &stored));
        EXPECT_EQ(test.second, stored);
    }
}

TEST_F(CoordinatorTest, AutomationDialogKindsAndOpenCloseEvents) {
    CRecordingDialogs dialogs;
    coordinator_->SetDialogs(&dialogs);
    coordinator_->SetResourceModule(GetModuleHandleW(nullptr));
    const std::pair<int32_t, const wchar_t*> deletes[] = {{1, L"delete 0"}, {2, L"delete 1"}, {3, L"delete 2"},
                                                          {4, L"delete 3"}, {7, L"delete 4"}};
    int opened = 0;
    for (const auto& test : deletes) {
        coordinator_->OpenDeleteDialog(test.first);
        ++opened;
        ASSERT_TRUE(events_.WaitFor(IAutomationEvents::kDeleteDialog, 2 * opened));
        EXPECT_EQ(test.second, dialogs.Runs().back());
    }
    for (int32_t ignored : {5, 6, 0, 8}) coordinator_->OpenDeleteDialog(ignored);
    coordinator_->Shutdown();
    EXPECT_EQ(2 * opened, events_.Count(IAutomationEvents::kDeleteDialog));
    std::vector<int32_t> values;
    for (const auto& event : events_.Events()) {
        if (event.kind == IAutomationEvents::kDeleteDialog) values.push_back(event.value);
    }
    for (size_t i = 0; i < values.size(); ++i) EXPECT_EQ(static_cast<int32_t>(i % 2), values[i]);
}

TEST_F(CoordinatorTest, DeleteReportsOfTheTransferStageReachTheDialogs) {
    CRecordingDialogs dialogs;
    coordinator_->SetDialogs(&dialogs);
    coordinator_->OnFolderTree(0, CQBTreeNode::NewFolder({L"\\MUSIC"}, {L"MUSIC"}).release());
    coordinator_->OnFolderTree(-1, nullptr);
    coordinator_->OnContentDeleted(0);
    coordinator_->OnDeleteFinished(0, CQBTreeNode::NewFolder({L"\\MUSIC"}, {L"MUSIC after"}).release());
    const std::vector<std::wstring> expected = {L"tree MUSIC", L"tree none", L"deleted one",
                                                L"rebuilt, free 0 MUSIC after"};
    EXPECT_EQ(expected, dialogs.Runs());

    // Without dialogs the trees are still taken over (a leak checker would see them otherwise).
    coordinator_->SetDialogs(nullptr);
    coordinator_->OnFolderTree(0, CQBTreeNode::NewFolder({L"\\MUSIC"}, {L"MUSIC"}).release());
    coordinator_->OnDeleteFinished(0, nullptr);
}

TEST_F(CoordinatorTest, SyncDialogKindsAndASecondOpenWhileOneRunsIsIgnored) {
    CRecordingDialogs dialogs;
    coordinator_->SetDialogs(&dialogs);
    coordinator_->SetResourceModule(GetModuleHandleW(nullptr));
    const std::pair<int32_t, const wchar_t*> cases[] = {{1, L"sync 0"}, {3, L"sync 2"}, {4, L"sync 3"},
                                                        {2, L"sync 6"}, {9, L"sync 6"}};
    int opened = 0;
    for (const auto& test : cases) {
        coordinator_->OpenSyncDialog(test.first);
        ++opened;
        ASSERT_TRUE(events_.WaitFor(IAutomationEvents::kSyncDialog, 2 * opened));
        EXPECT_EQ(test.second, dialogs.Runs().back());
    }
    EXPECT_EQ(std::vector<std::wstring>(opened, L"a|b|c"), events_.Texts(IAutomationEvents::kUpdateSyncFolder));

    ResetEvent(dialogs.release);
    coordinator_->OpenSyncDialog(1);
    coordinator_->OpenSyncDialog(3);  // ignored: the first is still open
    // The settings sheet has a thread of its own and opens beside it.
    coordinator_->OpenSettingDialog();
    SetEvent(dialogs.release);
    coordinator_->Shutdown();
    EXPECT_EQ(2 * opened + 2, events_.Count(IAutomationEvents::kSyncDialog));
    EXPECT_EQ(2, events_.Count(IAutomationEvents::kSettingDialog));
}

TEST_F(CoordinatorTest, InvokeAnswersOnlyAProgramStartedByAutomation) {
    int32_t result = -1;
    coordinator_->OnInvoke(&result);
    EXPECT_EQ(0, result);
    EXPECT_EQ(0, events_.Count(IAutomationEvents::kInvoke));
    coordinator_->OnInvoke(&result);
    EXPECT_EQ(0, result);
}

TEST_F(CoordinatorTest, InvokeByAutomationDescribesTheDeviceOnceThenAnswersTwo) {
    coordinator_->SetStartedByAutomation(true);
    int32_t result = -1;
    coordinator_->OnInvoke(&result);
    EXPECT_EQ(1, result);
    EXPECT_EQ(1, events_.Count(IAutomationEvents::kInvoke));
    coordinator_->OnInvoke(&result);
    EXPECT_EQ(2, result);
    EXPECT_EQ(1, events_.Count(IAutomationEvents::kInvoke));
}

TEST_F(CoordinatorTest, AutomationTextsOfHelpAndComputer) {
    BSTR text = nullptr;
    coordinator_->GetMyComputerPath(&text);
    EXPECT_STREQ(L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", text);
    SysFreeString(text);
    coordinator_->GetHelpFile(&text);
    const std::wstring help(text);
    SysFreeString(text);
    const std::wstring tail = L"\\\\Quillbay Help.chm";
    ASSERT_GT(help.size(), tail.size());
    EXPECT_EQ(tail, help.substr(help.size() - tail.size()));
}

TEST_F(CoordinatorTest, SyncFileListsCollectPerKindAndEmptyKindsOnThePlayerClearThem) {
    coordinator_->OnSyncFileAdded(0, L"C:\\Music\\a.mp3");
    coordinator_->OnContentResult(0, L"C:\\Music\\b.mp3");
    coordinator_->OnContentResult(2, L"C:\\Videos\\c.mp4");
    coordinator_->OnSyncFileAdded(3, L"C:\\Podcasts\\d.mp3");
    coordinator_->OnSyncFileAdded(1, L"C:\\Pictures\\e.jpg");  // no list of its own
    std::vector<std::wstring> list;
    coordinator_->GetSyncFileList(0, &list);
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\Music\\a.mp3", L"C:\\Music\\b.mp3"}), list);
    coordinator_->GetSyncFileList(1, &list);
    EXPECT_TRUE(list.empty());
    // Music and podcasts gone from the player, movies still there.
    coordinator_->OnDeviceContents(0, 5, 4096, 0, 0, 100, 8192);
    coordinator_->GetSyncFileList(0, &list);
    EXPECT_TRUE(list.empty());
    coordinator_->GetSyncFileList(3, &list);
    EXPECT_TRUE(list.empty());
    coordinator_->GetSyncFileList(2, &list);
    EXPECT_EQ(std::vector<std::wstring>{L"C:\\Videos\\c.mp4"}, list);
}

TEST_F(CoordinatorTest, LogDialogTakesTheReportAndLeavesItEmpty) {
    CRecordingDialogs dialogs;
    coordinator_->SetDialogs(&dialogs);
    ASSERT_EQ(S_OK, coordinator_->Initialize());
    // A refused drop of a path that is no file: list A of the contents manager.
    int32_t result = 0;
    coordinator_->Transfer(CBstrHolder(L""), 2, 1, &result);
    coordinator_->Transfer(CBstrHolder(L"C:\\nowhere\\missing.xyz"), 1, 3, &result);
    ASSERT_TRUE(events_.WaitFor(IAutomationEvents::kEnd, 1));
    ASSERT_EQ(1, events_.Count(IAutomationEvents::kTransferError));
    const std::wstring report = coordinator_->GetRunReport();
    EXPECT_EQ(L"C:\\nowhere\\missing.xyz\r\n", report);  // no language module: no headings
    coordinator_->OpenLogFile();
    EXPECT_EQ(std::vector<std::wstring>{L"log " + report}, dialogs.Runs());
    EXPECT_EQ(L"", coordinator_->GetRunReport());
}
