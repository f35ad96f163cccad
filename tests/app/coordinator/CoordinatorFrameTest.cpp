// What the coordinator asks of the main window: questions and warnings by message, busy flags
// around dialogs and warnings, the stop event at shut-down.
#include <algorithm>

#include "tests/app/coordinator/CoordinatorTestSupport.h"
#include "tests/app/coordinator/RecordingFrame.h"

#include "library/device/QBTreeNode.h"
#include "library/util/Settings.h"

namespace {

bool Contains(const std::vector<std::wstring>& calls, const std::wstring& call) {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

}  // namespace

class CoordinatorFrameTest : public CoordinatorTest {
protected:
    void SetUp() override {
        CoordinatorTest::SetUp();
        coordinator_->SetMainFrame(&frame_);
    }
    CRecordingFrame frame_;
};

TEST_F(CoordinatorFrameTest, AnalysisQuestionIsAskedOncePerUser) {
    ConnectPlayer(CapabilityDocument({"mp3", "", "", "", "", false, "", true}));
    CTNContent song(0, CTNContent::kSong);
    song.fileType = 0;
    CTNContent wav(0, CTNContent::kSong);
    wav.fileType = 5;
    coordinator_->OnAnalysisNotice(&wav);
    EXPECT_TRUE(frame_.Messages().empty());
    coordinator_->OnAnalysisNotice(&song);
    coordinator_->OnAnalysisNotice(&song);
    const std::vector<CRecordingFrame::Message> messages = frame_.Messages();
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(static_cast<UINT>(WM_USER + 3), messages[0].message);
    DWORD asked = 0;
    ASSERT_TRUE(ReadSetting(L"ravelinMsg", &asked));
    EXPECT_EQ(1u, asked);
}

TEST_F(CoordinatorFrameTest, AnalysisQuestionNeedsAutomaticModeAndAnnouncingPlayer) {
    ConnectPlayer(CapabilityDocument({"mp3", "", "", "", "", false, "", false}));
    CTNContent song(0, CTNContent::kSong);
    coordinator_->OnAnalysisNotice(&song);
    SetSetting(L"AnalysisMode", 1);
    coordinator_->OnDeviceStateChanged();
    ConnectPlayer(CapabilityDocument({"mp3", "", "", "", "", false, "", true}));
    coordinator_->OnAnalysisNotice(&song);
    EXPECT_TRUE(frame_.Messages().empty());
}

TEST_F(CoordinatorFrameTest, DiskFullCancelsWarnsBetweenBusyFlagsAndClearsTheFlag) {
    coordinator_->SetResourceModule(GetModuleHandleW(nullptr));
    ASSERT_EQ(S_OK, coordinator_->Initialize());
    coordinator_->OnDiskFull();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(frame_.StopEvent(), 0));
    const std::vector<CRecordingFrame::Message> messages = frame_.Messages();
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(static_cast<UINT>(WM_USER + 4), messages[0].message);
    EXPECT_EQ(174u, messages[0].wParam);
    EXPECT_EQ(static_cast<LPARAM>(0x50030), messages[0].lParam);
    const std::vector<std::wstring> calls = frame_.Calls();
    const auto busyOff = std::find(calls.begin(), calls.end(), L"busy 0");
    ASSERT_NE(calls.end(), busyOff);
    EXPECT_NE(calls.end(), std::find(busyOff, calls.end(), L"busy 1"));
    EXPECT_EQ(1, events_.Count(IAutomationEvents::kEnd));
    EXPECT_FALSE(coordinator_->TransferStage().IsDiskFull());
}

TEST_F(CoordinatorFrameTest, NoResourceModuleNoMessageBox) {
    coordinator_->OnDiskFull();
    EXPECT_TRUE(frame_.Messages().empty());
}

TEST_F(CoordinatorFrameTest, ShutdownSignalsTheStopEventAndTheRunStartIsPostedUnlessInStateOne) {
    ASSERT_EQ(S_OK, coordinator_->Initialize());
    int32_t result = 0;
    CBstrHolder empty(L"");
    coordinator_->Transfer(empty.Get(), 2, 0, &result);
    EXPECT_EQ(1, events_.Count(IAutomationEvents::kStart));
    frame_.state = 1;
    coordinator_->Transfer(empty.Get(), 2, 0, &result);
    EXPECT_EQ(1, events_.Count(IAutomationEvents::kStart));
    EXPECT_TRUE(Contains(frame_.Calls(), L"progress 1"));
    coordinator_->Shutdown();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(frame_.StopEvent(), 0));
}

TEST_F(CoordinatorFrameTest, RunEndingWithAReportShowsTheErrorOnTheWindow) {
    ASSERT_EQ(S_OK, coordinator_->Initialize());
    int32_t result = 0;
    // A path that is no file is refused and listed in the run's report.
    coordinator_->Transfer(CBstrHolder(L"").Get(), 2, 1, &result);
    coordinator_->Transfer(CBstrHolder(L"C:\\nowhere\\missing.xyz").Get(), 1, 3, &result);
    ASSERT_TRUE(events_.WaitFor(IAutomationEvents::kEnd, 1));
    // The window is reset right after the end event is posted.
    const DWORD deadline = GetTickCount() + kEventWaitMs;
    while (!Contains(frame_.Calls(), L"reset progress, error") && GetTickCount() < deadline) Sleep(10);
    EXPECT_TRUE(Contains(frame_.Calls(), L"reset progress, error"));
    // A cancel with nothing to report resets without the error.
    coordinator_->OnCancel(1);
    const std::vector<std::wstring> calls = frame_.Calls();
    auto last = std::find_if(calls.rbegin(), calls.rend(),
                             [](const std::wstring& call) { return call.rfind(L"reset progress", 0) == 0; });
    ASSERT_NE(calls.rend(), last);
    EXPECT_EQ(L"reset progress", *last);
}

TEST_F(CoordinatorFrameTest, DeviceCheckShowsThePlayerAndLaysOutPanels) {
    ConnectPlayer(CapabilityDocument({"mp3", "", "", "", "", false, "", false}));
    const std::vector<std::wstring> calls = frame_.Calls();
    EXPECT_TRUE(Contains(calls, L"show device"));
    EXPECT_TRUE(Contains(calls, L"layout"));
    coordinator_->OnDeviceStateChanged();
    EXPECT_TRUE(Contains(frame_.Calls(), L"clear device"));
}

namespace {

// A delete dialog on its own thread that, when told to close, first tells the main window (a
// SendMessageW to the window's thread, as a real dialog reporting to its owner does).
class CReportingDeleteDialog : public ICoordinatorDialogs {
public:
    explicit CReportingDeleteDialog(HWND frame) : shown(CreateEventW(nullptr, TRUE, FALSE, nullptr)), frame_(frame) {}
    ~CReportingDeleteDialog() { CloseHandle(shown); }
    INT_PTR RunSettingsSheet(CQBCommonManager*, const SettingsSheetArgs&) override { return IDCANCEL; }
    bool RunDeleteDialog(CQBCommonManager*, int32_t, HWND volatile* dialogWindow) override {
        static const UINT closeMessage = RegisterWindowMessageW(L"QuillbayDeleteDlgCloseMsgString");
        HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        *dialogWindow = window;
        SetEvent(shown);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (message.message == closeMessage) break;
            DispatchMessageW(&message);
        }
        SendMessageW(frame_, WM_USER + 4, 999, 0);
        DestroyWindow(window);
        return false;
    }
    INT_PTR RunSyncSelectDialog(CQBCommonManager*, int32_t, HWND volatile*, std::wstring*) override { return IDCANCEL; }
    void RunLogDialog(const std::wstring&) override {}
    int GetEffectiveSyncPreset(int kind) override { return kind; }
    int GetSyncPresetName(int) override { return -1; }
    void OnFolderTree(CQBTreeNode* root) override { delete root; }
    void OnContentDeleted() override {}
    void OnDeleteFinished(CQBTreeNode* root, uint64_t) override { delete root; }

    HANDLE shown;

private:
    HWND frame_;
};

}  // namespace

TEST_F(CoordinatorFrameTest, AnotherPlayerClosesTheDeleteDialogWhileTheWindowAnswersIt) {
    CReportingDeleteDialog dialog(frame_.Window());
    coordinator_->SetDialogs(&dialog);
    coordinator_->SetResourceModule(GetModuleHandleW(nullptr));
    ConnectPlayer(CapabilityDocument({"mp3", "", "", "", "", false, "", false}));
    coordinator_->OpenDeleteDialog(1);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(dialog.shown, kEventWaitMs));

    // Another player: the dialog is closed and waited for on this, the window's, thread.
    mtp_.deviceId = L"0bda_9999_OTHER";
    mtp_.findResults = {CDeviceControllerBase::kDeviceReplaced};
    coordinator_->OnDeviceStateChanged();
    EXPECT_EQ(CTransferManager::kStateChanged, coordinator_->GetLastDeviceState());
    const std::vector<CRecordingFrame::Message> messages = frame_.Messages();
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(999u, messages[0].wParam);
    ASSERT_TRUE(events_.WaitFor(IAutomationEvents::kDeleteDialog, 2));
}
