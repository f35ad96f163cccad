// The dialogs as the coordinator runs them: each on a thread of its own, over a coordinator that
// has not been started (no player) and a launcher that records instead of starting programs.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "app/coordinator/QBCommonManager.h"
#include "app/dialogs/DialogResources.h"
#include "app/dialogs/QBCoordinatorDialogs.h"
#include "app/dialogs/QBDeleteDlg.h"
#include "platform/ui/UiLanguageModule.h"
#include "tests/app/dialogs/DialogTestSupport.h"
#include "tests/support/UiTestThread.h"
#include "tests/support/WindowDriver.h"

namespace {

const DWORD kWaitMs = 30000;

// Records the programs the coordinator would start.
class CRecordingLauncher : public IProgramLauncher {
public:
    INT_PTR Launch(const std::wstring& program, const std::wstring& parameters, int) override {
        launches.push_back({program, parameters});
        return 42;
    }
    struct Launched {
        std::wstring program;
        std::wstring parameters;
    };
    std::vector<Launched> launches;
};

BOOL CALLBACK FindShownDialog(HWND hwnd, LPARAM found) {
    wchar_t className[16] = {};
    GetClassNameW(hwnd, className, 16);
    if (IsWindowVisible(hwnd) && wcscmp(className, L"#32770") == 0) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

class CoordinatorDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        ASSERT_TRUE(player_.IsActive());
        ASSERT_NE(TestLanguageModule(), nullptr);
        coordinator_.SetLauncher(&launcher_);
    }

    void TearDown() override {
        if (IsWindow(window_)) PostMessageW(window_, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(ui_.Join(kWaitMs));
    }

    // Runs body on the dialog thread in English and waits for its dialog (or sheet) to show.
    bool Run(std::function<void()> body) {
        if (!ui_.Start([body] {
                UseLanguage(0x0409);
                body();
            })) {
            return false;
        }
        WaitUntil(
            [this] {
                EnumThreadWindows(ui_.ThreadId(), FindShownDialog, reinterpret_cast<LPARAM>(&window_));
                return window_ != nullptr;
            },
            kWaitMs);
        return window_ != nullptr;
    }

    CScratchPlayer player_;
    CRecordingLauncher launcher_;
    CQBCommonManager coordinator_;
    CQBCoordinatorDialogs dialogs_{TestLanguageModule(), nullptr};
    CUiTestThread ui_;
    HWND window_ = nullptr;
};

}  // namespace

TEST_F(CoordinatorDialogsTest, TheSheetForAutomationHidesAboutLocksAnalysisAndChecksForUpdatesByHand) {
    ICoordinatorDialogs::SettingsSheetArgs args;
    args.forAutomation = true;
    args.carAudioUnit = true;
    args.carAudioInstalled = true;
    std::atomic<INT_PTR> result{-2};
    ASSERT_TRUE(Run([&] { result = dialogs_.RunSettingsSheet(&coordinator_, args); }));
    EXPECT_EQ(WindowText(window_), L"Quillbay Settings");
    HWND tabs = reinterpret_cast<HWND>(SendMessageW(window_, PSM_GETTABCONTROL, 0, 0));
    EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 5);
    auto page = [this](int tab) {
        SendMessageW(window_, PSM_SETCURSEL, tab, 0);
        return reinterpret_cast<HWND>(SendMessageW(window_, PSM_GETCURRENTPAGEHWND, 0, 0));
    };
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(page(0), IDC_QB_ABOUT)));
    HWND analysis = page(2);
    EXPECT_EQ(SendDlgItemMessageW(analysis, IDC_QB_ANALYSIS_MODE_1, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(analysis, IDC_QB_ANALYSIS_MODE_1)));
    HWND update = page(3);
    SendMessageW(update, WM_COMMAND, MAKEWPARAM(IDC_QB_UPDATE_NOW, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(update, IDC_QB_UPDATE_NOW)));
    ASSERT_EQ(launcher_.launches.size(), 1u);
    EXPECT_THAT(launcher_.launches[0].program, ::testing::EndsWith(L"Ostrim.exe"));
    EXPECT_THAT(launcher_.launches[0].parameters, ::testing::StartsWith(L"/M MANUAL "));
    PostMessageW(window_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    ASSERT_TRUE(ui_.Join(kWaitMs));
    EXPECT_EQ(result.load(), IDCANCEL);
}

TEST_F(CoordinatorDialogsTest, TheDeleteDialogShowsATreeThatCameFirstAndLetsItsWindowBeClosed) {
    auto root = CQBTreeNode::NewFolder({L"\\Music"}, {L"Music"});
    auto file = CQBTreeNode::NewFile({L"\\Music\\Song.mp3"}, {L"Song.mp3"}, 1000);
    root->AddChild(file);
    // The coordinator starts the tree before it opens the dialog: the tree may come first.
    dialogs_.OnFolderTree(root.release());
    HWND volatile slot = nullptr;
    std::atomic<int> deleted{-1};
    ASSERT_TRUE(Run([&] { deleted = dialogs_.RunDeleteDialog(&coordinator_, 0, &slot) ? 1 : 0; }));
    EXPECT_EQ(slot, window_);
    HWND tree = GetDlgItem(window_, IDC_QB_DELETE_TREE);
    EXPECT_TRUE(WaitUntil([&] { return SendMessageW(tree, TVM_GETCOUNT, 0, 0) == 2; }, kWaitMs));
    // A second tree replaces it while the dialog is open.
    auto next = CQBTreeNode::NewFolder({L"\\Music"}, {L"Music"});
    dialogs_.OnFolderTree(next.release());
    EXPECT_TRUE(WaitUntil([&] { return SendMessageW(tree, TVM_GETCOUNT, 0, 0) == 1; }, kWaitMs));
    // The coordinator closes it when the player goes away.
    PostMessageW(slot, CQBDeleteDlg::CloseMessage().Id(), 0, 0);
    ASSERT_TRUE(ui_.Join(kWaitMs));
    EXPECT_EQ(deleted.load(), 0);
    EXPECT_EQ(slot, nullptr);
}

TEST_F(CoordinatorDialogsTest, AnEmptyKindsAnswerThatCameFirstIsShown) {
    dialogs_.OnFolderTree(nullptr);
    HWND volatile slot = nullptr;
    ASSERT_TRUE(Run([&] { dialogs_.RunDeleteDialog(&coordinator_, CQBDeleteDlg::kPlaylistKind, &slot); }));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(window_, IDC_QB_DELETE_MESSAGE)) == L"No playlist."; },
                          kWaitMs))
        << WindowText(GetDlgItem(window_, IDC_QB_DELETE_MESSAGE));
    PostMessageW(slot, CQBDeleteDlg::CloseMessage().Id(), 0, 0);
    ASSERT_TRUE(ui_.Join(kWaitMs));
}

TEST_F(CoordinatorDialogsTest, TheSyncSelectionNamesThePresetsOfTheThreeKindsOnOK) {
    HWND volatile slot = nullptr;
    std::wstring presets;
    std::atomic<INT_PTR> result{-2};
    ASSERT_TRUE(Run([&] { result = dialogs_.RunSyncSelectDialog(&coordinator_, 0, &slot, &presets); }));
    EXPECT_EQ(slot, window_);
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window_, IDOK)));
    ASSERT_TRUE(ui_.Join(kWaitMs));
    EXPECT_EQ(result.load(), IDOK);
    EXPECT_EQ(slot, nullptr);
    // One name per kind, each the text of the kind's stored preset.
    std::wstring expected;
    for (int kind : {0, 2, 3}) {
        std::wstring name;
        const int id = dialogs_.GetSyncPresetName(dialogs_.GetEffectiveSyncPreset(kind));
        ASSERT_GE(id, 0) << kind;
        CUiLanguageModule::LoadText(TestLanguageModule(), static_cast<UINT>(id), name);
        EXPECT_FALSE(name.empty()) << kind;
        EXPECT_THAT(presets, ::testing::HasSubstr(name)) << kind;
    }
}

TEST_F(CoordinatorDialogsTest, TheLogDialogShowsTheReport) {
    const std::wstring report = L"Transferred: 3\r\nFailed: 0";
    ASSERT_TRUE(Run([&] { dialogs_.RunLogDialog(report); }));
    EXPECT_EQ(WindowText(GetDlgItem(window_, IDC_QB_LOG_TEXT)), report);
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window_, IDOK)));
    ASSERT_TRUE(ui_.Join(kWaitMs));
}
