// The wizard's own frame with the real screens and a fake manager: a user's whole road, clicked
// through the screens' buttons, with the refresh's progress arriving from another thread.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <dbt.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>

#include "setup/frame/MainFrame.h"
#include "setup/screens/ScreenResources.h"
#include "setup/screens/SetupScreens.h"
#include "setup/wizard/SetupCodes.h"
#include "setup/wizard/SetupFrameLayout.h"
#include "tests/setup/screens/FakeSetupManager.h"
#include "tests/support/WindowCapture.h"
#include "tests/support/WindowDriver.h"

namespace {

constexpr DWORD kWaitMs = 30000;

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool PumpUntil(const std::function<bool()>& condition) {
    return WaitUntil([&] {
        Pump();
        return condition();
    }, kWaitMs);
}

class WizardRoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetThreadUILanguage(0x0409);
        SetThreadLocale(MAKELCID(0x0409, SORT_DEFAULT));
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        const std::wstring test = L"QbSetupScreensRoad." + std::wstring(name.begin(), name.end());
        SetFrameLayout(ComputeFrameLayout(0x0409, 96, 96));
        parts_.screens = &screens_;
        parts_.ownMutexName = test + L".own";
        parts_.mainProgramMutexName = test + L".main";
        parts_.createManager = [this](ISetupListener&) -> std::unique_ptr<ISetupManager> {
            auto manager = std::make_unique<CFakeSetupManager>();
            manager->deviceArrives = true;
            manager->modelName = L"TORNELLE NW-A306";
            manager_ = manager.get();
            return manager;
        };
        parts_.reportError = [](HWND, const std::wstring& text) { ADD_FAILURE() << "start-up error"; (void)text; };
    }
    void TearDown() override {
        if (frame_ && frame_->Hwnd() != nullptr) frame_->DestroyWindow();
        Pump();
        frame_.reset();
    }

    bool WaitForScreen(unsigned screen) {
        return PumpUntil([&] { return frame_->CurrentScreen() == screen; });
    }
    HWND Button(unsigned screen, int slot) {
        return GetDlgItem(frame_->Screen(screen)->Hwnd(), IDC_SCREEN_BUTTON1 + slot);
    }
    void Photograph(const wchar_t* name) {
        RedrawWindow(frame_->Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump();
        CWindowCapture capture;
        ASSERT_TRUE(capture.Capture(frame_->Hwnd()));
        EXPECT_TRUE(capture.SavePng(ScreenshotPath(name)));
        EXPECT_FALSE(capture.LooksBlank());
    }

    CMainFrame::Parts parts_;
    CSetupScreens screens_;
    CFakeSetupManager* manager_ = nullptr;
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace

TEST_F(WizardRoadTest, RegisterThenRefreshThreeSongsAndFinish) {
    frame_ = std::make_unique<CMainFrame>(parts_);
    ASSERT_NE(frame_->Hwnd(), nullptr);
    ASSERT_TRUE(frame_->SetupScreens(true));
    ShowWindow(frame_->Hwnd(), SW_SHOWNOACTIVATE);
    ASSERT_NE(manager_, nullptr);
    Pump();
    EXPECT_EQ(frame_->CurrentScreen(), SetupScreen::kInit);

    // The player arrives: the frame names its model on the registration question.
    SendMessageW(frame_->Hwnd(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    ASSERT_TRUE(WaitForScreen(SetupScreen::kRegConfirm));
    EXPECT_EQ(WindowText(GetDlgItem(frame_->Screen(SetupScreen::kRegConfirm)->Hwnd(), IDC_SCREEN_LINE)),
              L"Model: TORNELLE NW-A306");
    Photograph(L"road_03_reg_confirm");

    const struct {
        unsigned screen;
        int slot;
        unsigned next;
    } clicks[] = {
        {SetupScreen::kRegConfirm, 0, SetupScreen::kRegComplete},
        {SetupScreen::kRegComplete, 0, SetupScreen::kRefreshConfirm},
        {SetupScreen::kRefreshConfirm, 0, SetupScreen::kArtworkConfirm},
        {SetupScreen::kArtworkConfirm, 1, SetupScreen::kRefreshProcessing},
    };
    for (const auto& click : clicks) {
        SCOPED_TRACE(click.screen);
        ASSERT_TRUE(PostClick(Button(click.screen, click.slot)));
        ASSERT_TRUE(WaitForScreen(click.next));
    }
    EXPECT_TRUE(manager_->refreshRunning);

    // The refresh's threads report from another thread, as the manager's do.
    std::thread worker([this] {
        ISetupListener& listener = *frame_;
        listener.OnProcEvent(3, 0, 3, 0, nullptr, 0);
        for (int song = 0; song < 3; ++song) {
            listener.OnProcEvent(0, 0, 3, 6, L"C:\\cache\\song.mp3", 0);
            listener.OnProcEvent(0, 0, 3, 1, nullptr, 0);
        }
    });
    worker.join();
    ASSERT_TRUE(WaitForScreen(SetupScreen::kEnd));
    HWND bar = GetDlgItem(frame_->Screen(SetupScreen::kRefreshProcessing)->Hwnd(), IDC_SCREEN_PROGRESS);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 6);
    EXPECT_EQ(WindowText(GetDlgItem(frame_->Screen(SetupScreen::kRefreshProcessing)->Hwnd(), IDC_SCREEN_LINE)),
              L"3 / 3 complete");
    EXPECT_EQ(manager_->analysedFiles.size(), 3u);
    Photograph(L"road_06_end");

    // Finish closes the wizard.
    ASSERT_TRUE(PostClick(Button(SetupScreen::kEnd, 0)));
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(frame_->Hwnd()); }));
}

TEST_F(WizardRoadTest, CancelDuringTheRefreshStopsItAndAborts) {
    frame_ = std::make_unique<CMainFrame>(parts_);
    ASSERT_TRUE(frame_->SetupScreens(true));
    SendMessageW(frame_->Hwnd(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    ASSERT_TRUE(WaitForScreen(SetupScreen::kRegConfirm));
    for (const auto& click : {std::pair<unsigned, int>{SetupScreen::kRegConfirm, 0}, {SetupScreen::kRegComplete, 0},
                              {SetupScreen::kRefreshConfirm, 0}, {SetupScreen::kArtworkConfirm, 0}}) {
        ASSERT_TRUE(PostClick(Button(click.first, click.second)));
        ASSERT_TRUE(PumpUntil([&] { return frame_->CurrentScreen() != click.first; }));
    }
    ASSERT_EQ(frame_->CurrentScreen(), SetupScreen::kRefreshProcessing);
    frame_->OnProcEvent(10, 0, 3, 0, nullptr, 0);
    ASSERT_TRUE(PostClick(Button(SetupScreen::kRefreshProcessing, 0)));
    ASSERT_TRUE(WaitForScreen(SetupScreen::kCancel));
    EXPECT_FALSE(manager_->refreshRunning);
    EXPECT_EQ(std::count(manager_->calls.begin(), manager_->calls.end(), "DeleteCacheFiles"), 1);
}
