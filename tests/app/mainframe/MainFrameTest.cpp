#include "app/mainframe/MainFrame.h"
#include "app/mainframe/PodcastCautionDlg.h"

#include <gtest/gtest.h>

#include <atomic>
#include <dbt.h>
#include <shellapi.h>

#include <vector>

#include "library/util/ScopedWin.h"
#include "library/util/SettingNames.h"
#include "library/util/Settings.h"
#include "platform/ui/UiGdiplusSession.h"
#include "tests/support/ScreenGrab.h"
#include "tests/support/TestProcess.h"
#include "tests/support/UiTestThread.h"
#include "tests/support/WindowCapture.h"
#include "tests/support/WindowDriver.h"

namespace {

constexpr DWORD kWait = 30000;
constexpr UINT kPlayerFullText = 174;

// Saves the screen under the window as PNG; false when it is blank (all one colour).
bool GrabScreen(HWND hwnd, const std::wstring& path, int* width) {
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    *width = rect.right - rect.left;
    return GrabScreenArea(rect, path);
}

// Stands in for the coordinator: counts what the window asks of it.
class CFakeCoordinator : public IMainFrameCoordinator, public IMainFrameListener {
public:
    IMainFrameListener* Listener() override { return this; }
    HRESULT Initialize() override { ++initialized; return S_OK; }
    void Shutdown() override { ++shutdowns; }
    void OnDeviceStateChanged() override { ++deviceChecks; }
    void MarkActiveDeviceModified() override { ++markedModified; }
    // Runs on the window's thread and, like a dialog that pumps nothing, holds it until released.
    void OpenSettingsSheet() override {
        ++settingsOpened;
        if (holdWindowThread) {
            SetEvent(holding);
            WaitForSingleObject(release, kWait);
        }
    }
    void OpenDeleteDialog(int kind) override { lastDeleteKind = kind; }
    void OpenSyncSelectDialog(int) override {}
    void ShowLogDialog() override { ++logsShown; }
    // Reads the files of a drop while the drop lasts, as the coordinator does.
    void OnDrop(IDataObject* data) override {
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium = {};
        if (data && SUCCEEDED(data->GetData(&format, &medium))) {
            HDROP drop = static_cast<HDROP>(medium.hGlobal);
            const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < count; ++i) {
                wchar_t path[MAX_PATH] = {};
                DragQueryFileW(drop, i, path, MAX_PATH);
                droppedFiles.push_back(path);
            }
            ReleaseStgMedium(&medium);
        }
        ++drops;
    }
    void OnCancel(int32_t) override { ++cancels; }
    void OnSettingsChanged() override {}
    void OnRefreshDevice() override { ++refreshes; }
    void OnStartSync() override {}

    std::atomic<int> initialized{0}, shutdowns{0}, deviceChecks{0}, markedModified{0}, settingsOpened{0},
        lastDeleteKind{-1}, drops{0}, cancels{0}, refreshes{0}, logsShown{0};
    std::atomic<bool> holdWindowThread{false};
    // Written on the window's thread before `drops` counts the drop.
    std::vector<std::wstring> droppedFiles;
    CScopedHandle holdingHandle{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    CScopedHandle releaseHandle{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    HANDLE holding = holdingHandle.Get();
    HANDLE release = releaseHandle.Get();
};

// The frame on a UI thread of its own, as the program runs it, with the fake coordinator.
class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteSettingDword(settings::kTopMost, 0);
        ASSERT_TRUE(thread_.Start([this] {
            OleInitialize(nullptr);
            {
                CMainFrame frame;
                frame.resourceModule = GetModuleHandleW(nullptr);
                frame.dpi = dpi_;
                frame.coordinatorFactory = [this](const MainFrameCoordinatorArgs& args) {
                    EXPECT_EQ(frame_.load(), nullptr);
                    auto fake = std::make_unique<CFakeCoordinator>();
                    fake_ = fake.get();
                    (void)args;
                    return std::unique_ptr<IMainFrameCoordinator>(std::move(fake));
                };
                if (frame.CreateFrame(L"Quillbay")) {
                    ShowWindow(frame.Hwnd(), SW_SHOWNOACTIVATE);
                    frame.DrawSkin();
                    frame_ = &frame;
                    MSG message;
                    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
                        if (!frame.PreTranslateMessage(&message)) {
                            TranslateMessage(&message);
                            DispatchMessageW(&message);
                        }
                    }
                }
                created_ = true;
                frame_ = nullptr;
            }
            OleUninitialize();
        }));
        ASSERT_TRUE(WaitUntil([this] { return frame_.load() != nullptr || created_.load(); }, kWait));
        ASSERT_NE(nullptr, frame_.load());
        hwnd_ = frame_.load()->Hwnd();
    }

    void TearDown() override {
        if (hwnd_ && IsWindow(hwnd_)) {
            PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        }
        EXPECT_TRUE(thread_.Join(kWait));
    }

    CMainFrame& Frame() { return *frame_.load(); }

    CUiGdiplusSession gdiplus_;

    // Wine 8 accepts SetWindowPos(HWND_TOPMOST) on a layered popup but leaves WS_EX_TOPMOST
    // clear, so the style is only checked on Windows.
    void ExpectTopMost(bool topMost) {
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        if (ntdll && GetProcAddress(ntdll, "wine_get_version")) {
            return;
        }
        EXPECT_EQ(topMost, (GetWindowLongW(hwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    }

    void ShowPlayer() {
        IMainFrameView::DeviceView device;
        device.name = L"Tavrel T-200";
        device.totalBytes = 8ull * 1000 * 1000 * 1000;
        device.freeBytes = 3ull * 1000 * 1000 * 1000;
        Frame().ShowDevice(device);
        IMainFrameView::FreeSpace space;
        space.musicBytes = 3500ull * 1000 * 1000;
        space.movieBytes = 1000ull * 1000 * 1000;
        space.podcastBytes = 300ull * 1000 * 1000;
        space.otherFiles = 200ull * 1000 * 1000;
        space.freeBytes = device.freeBytes;
        space.totalBytes = device.totalBytes;
        Frame().UpdateFreeSpace(space);
        Flush();
    }

    // Waits until the window's thread has done what this thread queued for it.
    void Flush() { SendMessageW(hwnd_, CMainFrame::kRunQueuedMessage, 0, 0); }

    void Photograph(const wchar_t* name) {
        SendMessageW(hwnd_, WM_NULL, 0, 0);
        Frame().DrawSkin();
        // A layered window's contents live with the compositor, not in its DC: grab the screen.
        // The X server shows a new layered picture a little later: grab until it is there.
        EXPECT_TRUE(WaitUntil([&] { return GrabScreen(hwnd_, ScreenshotPath(name), &lastWidth_); }, kWait));
    }

    // The screen DPI the window is drawn for; 0 is the screen's own (96 in the test prefix).
    int dpi_ = 0;
    CUiTestThread thread_;
    std::atomic<CMainFrame*> frame_{nullptr};
    std::atomic<bool> created_{false};
    CFakeCoordinator* fake_ = nullptr;
    HWND hwnd_ = nullptr;
    int lastWidth_ = 0;
};

TEST_F(MainFrameTest, CreatesLayeredPopupAndRunsTheFirstDeviceCheck) {
    // The system adds WS_CLIPSIBLINGS to every top-level window.
    EXPECT_EQ(0x800A0048u, static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)) & ~(WS_VISIBLE | WS_CLIPSIBLINGS));
    EXPECT_TRUE(GetWindowLongW(hwnd_, GWL_EXSTYLE) & WS_EX_LAYERED);
    wchar_t className[64] = {};
    GetClassNameW(hwnd_, className, 64);
    EXPECT_STREQ(L"QUILLBAY_MAIN_FRAME", className);
    RECT window = {};
    GetWindowRect(hwnd_, &window);
    EXPECT_EQ(200, window.right - window.left);
    EXPECT_EQ(266, window.bottom - window.top);
    EXPECT_EQ(1, fake_->initialized.load());
    EXPECT_EQ(1, fake_->deviceChecks.load());
    EXPECT_GT(Frame().PaintCount(), 0);
    Photograph(L"mainframe_no_player");
}

TEST_F(MainFrameTest, CollapsedExpandedBusyAndProgressScreenshots) {
    ShowPlayer();
    const bool kinds[5] = {true, false, true, true, true};
    Frame().LayoutPanels(kinds);
    Flush();
    Photograph(L"mainframe_collapsed");
    SendMessageW(hwnd_, WM_COMMAND, CMainFrame::kIdExpand, 0);
    EXPECT_TRUE(Frame().IsExpanded());
    EXPECT_EQ(1, fake_->refreshes.load());
    RECT window = {};
    GetWindowRect(hwnd_, &window);
    EXPECT_EQ(532, window.right - window.left);
    Photograph(L"mainframe_expanded");
    EXPECT_EQ(532, lastWidth_);

    SendMessageW(hwnd_, WM_COMMAND, CMainFrame::kIdCollapse, 0);
    EXPECT_FALSE(Frame().IsExpanded());
    Frame().UpdateProgress(1);
    Flush();
    EXPECT_TRUE(Frame().IsBusy());
    EXPECT_TRUE(IsWindowVisible(Frame().ButtonWindow(CMainFrame::kIdCancel)));
    EXPECT_FALSE(IsWindowEnabled(Frame().ButtonWindow(CMainFrame::kIdSettings)));
    Frame().SetTransferProgress(0, 0);
    Frame().SetConversionText(L"Holiday.mp4", 40);
    Photograph(L"mainframe_busy");
    Frame().SetTransferProgress(1, 3);
    EXPECT_EQ(L"Transferring 2 of 3", Frame().StatusText());
    Frame().SetConversionText(L"", -1);
    Frame().SetAnalysisText(true);
    Photograph(L"mainframe_progress");

    Frame().UpdateProgress(0);
    Flush();
    EXPECT_FALSE(Frame().IsBusy());
    EXPECT_FALSE(IsWindowVisible(Frame().ButtonWindow(CMainFrame::kIdCancel)));
    EXPECT_TRUE(IsWindowEnabled(Frame().ButtonWindow(CMainFrame::kIdSettings)));
}

// The same window on a 120-DPI screen: a quarter larger, drawn from the skin set for that DPI, with
// the pointer's positions mapped back to the layout.
class MainFrameAt120DpiTest : public MainFrameTest {
protected:
    MainFrameAt120DpiTest() { dpi_ = 120; }

    SIZE WindowSize(HWND hwnd) {
        RECT rect = {};
        GetWindowRect(hwnd, &rect);
        return {rect.right - rect.left, rect.bottom - rect.top};
    }
};

TEST_F(MainFrameAt120DpiTest, DrawsTheLargeSkinAndMapsThePointerToTheLayout) {
    EXPECT_EQ(250, WindowSize(hwnd_).cx);
    EXPECT_EQ(333, WindowSize(hwnd_).cy);
    EXPECT_EQ(20, WindowSize(Frame().ButtonWindow(CMainFrame::kIdClose)).cx);
    Photograph(L"mainframe_120dpi_no_player");
    ShowPlayer();
    const bool kinds[5] = {true, false, true, true, true};
    Frame().LayoutPanels(kinds);
    Flush();

    // The drop area, rows 29 to 181 of the layout, is rows 37 to 227 here.
    EXPECT_EQ(1, Frame().OnDragEnter(62, 125));
    EXPECT_EQ(1, Frame().OnDragOver(249, 227));
    EXPECT_EQ(0, Frame().OnDragOver(62, 228));
    EXPECT_EQ(0, Frame().OnDragOver(62, 36));
    Frame().OnDragLeave();
    Photograph(L"mainframe_120dpi_collapsed");

    // The pin, columns 114 to 130 of the layout, is under x = 158 here.
    SendMessageW(hwnd_, WM_LBUTTONUP, 0, MAKELPARAM(158, 20));
    EXPECT_TRUE(Frame().IsTopMost());
    SendMessageW(hwnd_, WM_LBUTTONUP, 0, MAKELPARAM(158, 20));
    EXPECT_FALSE(Frame().IsTopMost());

    SendMessageW(hwnd_, WM_COMMAND, CMainFrame::kIdExpand, 0);
    EXPECT_EQ(665, WindowSize(hwnd_).cx);
    HWND deleteMusic = Frame().ButtonWindow(CMainFrame::kIdDeleteMusic);
    RECT frame = {}, button = {};
    GetWindowRect(hwnd_, &frame);
    GetWindowRect(deleteMusic, &button);
    EXPECT_EQ(250, button.left - frame.left);
    EXPECT_EQ(134, button.top - frame.top);
    EXPECT_EQ(33, button.right - button.left);
    EXPECT_EQ(30, button.bottom - button.top);
    Photograph(L"mainframe_120dpi_expanded");
    EXPECT_EQ(665, lastWidth_);
    Frame().SelectPage(1);
    Photograph(L"mainframe_120dpi_sync_page");

    SendMessageW(hwnd_, WM_COMMAND, CMainFrame::kIdCollapse, 0);
    EXPECT_EQ(250, WindowSize(hwnd_).cx);
    Frame().UpdateProgress(1);
    Flush();
    Frame().SetTransferProgress(1, 3);
    Frame().SetConversionText(L"Holiday.mp4", 40);
    Photograph(L"mainframe_120dpi_progress");
    Frame().UpdateProgress(0);
    Flush();
}

TEST_F(MainFrameTest, CallsFromAWorkerNeverWaitForTheWindowsThread) {
    ShowPlayer();
    // The window's thread is held by a dialog that pumps nothing.
    fake_->holdWindowThread = true;
    PostMessageW(hwnd_, WM_COMMAND, CMainFrame::kIdSettings, 0);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(fake_->holding, kWait));
    CUiTestThread worker;
    ASSERT_TRUE(worker.Start([this] {
        Frame().UpdateProgress(1);
        Frame().SetTransferProgress(0, 2);
        Frame().SetConversionText(L"Holiday.mp4", 10);
        Frame().StartLookupTimer();
        const bool kinds[5] = {true, false, true, false, false};
        Frame().LayoutPanels(kinds);
        Frame().UpdateProgress(0);
        Frame().ResetProgress(true);
        Frame().ClearDevice();
        Frame().UpdateProgress(1);
    }));
    const bool returned = worker.Join(kWait);
    SetEvent(fake_->release);
    EXPECT_TRUE(returned) << "a call from the worker waited for the window's thread";
    EXPECT_TRUE(worker.Join(kWait));
    // Once free, the window's thread applies the calls in their order: busy again at the end.
    Flush();
    EXPECT_TRUE(IsWindowVisible(Frame().ButtonWindow(CMainFrame::kIdCancel)));
    EXPECT_FALSE(IsWindowVisible(Frame().ButtonWindow(CMainFrame::kIdError)));
    EXPECT_FALSE(Frame().IsErrorPending());
    EXPECT_FALSE(IsWindowEnabled(Frame().ButtonWindow(CMainFrame::kIdSettings)));
    EXPECT_EQ(0, Frame().DeviceState());
    // The animation's timer belongs to the window: its own ticks step the frames.
    EXPECT_TRUE(WaitUntil([this] { return Frame().AnimationFrame() != 0; }, kWait));
}

TEST_F(MainFrameTest, RunWithErrorsOffersItsReportThroughTheErrorButton) {
    ShowPlayer();
    HWND error = Frame().ButtonWindow(CMainFrame::kIdError);
    HWND cancel = Frame().ButtonWindow(CMainFrame::kIdCancel);
    Frame().UpdateProgress(1);
    Frame().UpdateProgress(0);
    Frame().ResetProgress(true);
    Flush();
    EXPECT_TRUE(Frame().IsErrorPending());
    EXPECT_TRUE(IsWindowVisible(error));
    EXPECT_FALSE(IsWindowVisible(cancel));
    EXPECT_EQ(L"Ready.", Frame().StatusText());
    Photograph(L"mainframe_error");

    SendMessageW(hwnd_, WM_COMMAND, CMainFrame::kIdError, 0);
    EXPECT_EQ(1, fake_->logsShown.load());
    EXPECT_FALSE(IsWindowVisible(error));
    EXPECT_FALSE(Frame().IsErrorPending());

    // While the error shows, the cancel command opens the log too and cancels nothing.
    Frame().ResetProgress(true);
    Flush();
    SendMessageW(hwnd_, WM_COMMAND, CMainFrame::kIdCancel, 0);
    EXPECT_EQ(2, fake_->logsShown.load());
    EXPECT_EQ(0, fake_->cancels.load());

    // The next run takes the error away unseen; a reset without error does not bring it back.
    Frame().ResetProgress(true);
    Frame().UpdateProgress(1);
    Flush();
    EXPECT_FALSE(IsWindowVisible(error));
    EXPECT_FALSE(Frame().IsErrorPending());
    EXPECT_TRUE(IsWindowVisible(cancel));
    Frame().UpdateProgress(0);
    Frame().ResetProgress(false);
    Flush();
    EXPECT_FALSE(IsWindowVisible(error));
    EXPECT_FALSE(IsWindowVisible(cancel));

    // A reset while a stop is pending leaves the window alone.
    SetEvent(Frame().StopEvent());
    Frame().ResetProgress(true);
    Flush();
    EXPECT_FALSE(IsWindowVisible(error));
    EXPECT_EQ(2, fake_->logsShown.load());
}

TEST_F(MainFrameTest, DiskFullMessageTakesItsTextFromTheLanguageModule) {
    ShowPlayer();
    // The coordinator's worker waits in SendMessageW while the user reads the box.
    CUiTestThread worker;
    ASSERT_TRUE(worker.Start([this] { SendMessageW(hwnd_, WM_USER + 4, kPlayerFullText, MB_OK | MB_ICONWARNING); }));
    HWND box = WaitForThreadWindow(GetWindowThreadProcessId(hwnd_, nullptr), L"#32770", L"Quillbay", kWait);
    ASSERT_NE(nullptr, box);
    CWindowCapture capture;
    ASSERT_TRUE(capture.Capture(box));
    EXPECT_FALSE(capture.LooksBlank());
    EXPECT_TRUE(capture.SavePng(ScreenshotPath(L"mainframe_disk_full")));
    bool textFound = false;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        textFound |= WindowText(child) == L"The player is full. The transfer was stopped.";
    }
    EXPECT_TRUE(textFound);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(worker.Join(kWait));
}

TEST_F(MainFrameTest, PodcastCautionShowsTheLanguageTextsAndRemembersTheTick) {
    for (bool tick : {false, true}) {
        SCOPED_TRACE(tick ? "ticked" : "not ticked");
        WriteSettingDword(settings::kPodcastCaution, 0);
        // The coordinator's worker waits in SendMessageW while the user reads the caution.
        CUiTestThread worker;
        ASSERT_TRUE(worker.Start([this] { SendMessageW(hwnd_, WM_USER + 2, 0, 0); }));
        HWND dialog = WaitForThreadWindow(GetWindowThreadProcessId(hwnd_, nullptr), L"#32770", L"Quillbay", kWait);
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(L"Podcast episodes stay on the player until you delete them. New episodes are added each time you "
                  L"transfer.",
                  WindowText(GetDlgItem(dialog, CPodcastCautionDlg::kMessageId)));
        EXPECT_EQ(L"Do not show this message again", WindowText(GetDlgItem(dialog, CPodcastCautionDlg::kDontShowId)));
        if (tick) {
            SendMessageW(GetDlgItem(dialog, CPodcastCautionDlg::kDontShowId), BM_SETCHECK, BST_CHECKED, 0);
            CWindowCapture capture;
            ASSERT_TRUE(capture.Capture(dialog));
            EXPECT_FALSE(capture.LooksBlank());
            EXPECT_TRUE(capture.SavePng(ScreenshotPath(L"mainframe_podcast_caution")));
        }
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(worker.Join(kWait));
        DWORD value = 7;
        ASSERT_TRUE(ReadSetting(settings::kPodcastCaution, &value));
        EXPECT_EQ(tick ? 1u : 0u, value);
    }
}

TEST_F(MainFrameTest, MovieCautionAnswerGoesToTheSettingsAndBackToTheCoordinator) {
    struct Case {
        int button;
        DWORD convert;
    };
    for (const Case& c : {Case{IDOK, 1}, Case{IDCANCEL, 0}}) {
        SCOPED_TRACE(c.button);
        WriteSettingDword(settings::kMovieConvert, 7);
        LRESULT answer = -1;
        CUiTestThread worker;
        ASSERT_TRUE(worker.Start([this, &answer] { answer = SendMessageW(hwnd_, WM_USER + 1, 0, 0); }));
        HWND dialog = WaitForThreadWindow(GetWindowThreadProcessId(hwnd_, nullptr), L"#32770", L"Quillbay", kWait);
        ASSERT_NE(nullptr, dialog);
        // The texts come from the language module.
        EXPECT_EQ(L"Videos are converted for the player before they are transferred. This can take a while.",
                  WindowText(GetDlgItem(dialog, 1012)));
        EXPECT_EQ(L"Convert", WindowText(GetDlgItem(dialog, IDOK)));
        if (c.button == IDOK) {
            // The dialog has painted once it has answered a message after its first ones.
            SendMessageW(dialog, WM_NULL, 0, 0);
            CWindowCapture capture;
            ASSERT_TRUE(capture.Capture(dialog));
            EXPECT_FALSE(capture.LooksBlank());
            EXPECT_TRUE(capture.SavePng(ScreenshotPath(L"mainframe_movie_caution")));
        }
        PostMessageW(dialog, WM_COMMAND, c.button, 0);
        ASSERT_TRUE(worker.Join(kWait));
        EXPECT_EQ(c.button, answer);
        EXPECT_EQ(c.button, Frame().MovieCautionResult());
        DWORD convert = 7;
        ASSERT_TRUE(ReadSetting(settings::kMovieConvert, &convert));
        EXPECT_EQ(c.convert, convert);
    }
}

TEST_F(MainFrameTest, CancelStopsTheRunThenTellsTheCoordinator) {
    ShowPlayer();
    Frame().UpdateProgress(1);
    Flush();
    SendMessageW(hwnd_, WM_COMMAND, CMainFrame::kIdCancel, 0);
    EXPECT_EQ(1, fake_->cancels.load());
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(Frame().StopEvent(), 0));
    // With the stop pending, the idle switch only repaints and leaves the controls alone.
    Frame().UpdateProgress(0);
    Flush();
    EXPECT_FALSE(IsWindowEnabled(Frame().ButtonWindow(CMainFrame::kIdSettings)));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(Frame().RunEvent(), 0));
}

TEST_F(MainFrameTest, ButtonHoverTakesTheCaptureAndAsksForARepaint) {
    SendMessageW(hwnd_, WM_COMMAND, CMainFrame::kIdExpand, 0);
    HWND close = Frame().ButtonWindow(CMainFrame::kIdClose);
    ASSERT_NE(nullptr, close);
    RECT rect = {};
    GetWindowRect(close, &rect);
    EXPECT_EQ(16, rect.right - rect.left);
    const int paints = Frame().PaintCount();
    SendMessageW(close, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(WaitUntil([&] { return Frame().PaintCount() > paints; }, kWait));
    SendMessageW(hwnd_, WM_NULL, 0, 0);
    Photograph(L"mainframe_close_hover");
    SendMessageW(close, WM_MOUSEMOVE, 0, MAKELPARAM(40, 5));
    // A press on a tab also starts the system's window drag, which waits for a real button: select
    // the page directly.
    ShowPlayer();
    SendMessageW(hwnd_, WM_NULL, 0, 0);
    Frame().SelectPage(1);
    EXPECT_TRUE(IsWindowVisible(Frame().ButtonWindow(CMainFrame::kIdSyncNow)));
    EXPECT_FALSE(IsWindowVisible(Frame().ButtonWindow(CMainFrame::kIdDeleteMusic)));
    Photograph(L"mainframe_sync_page");
}

TEST_F(MainFrameTest, PinTogglesTopMostSettingAndZOrder) {
    SendMessageW(hwnd_, WM_LBUTTONUP, 0, MAKELPARAM(120, 15));
    DWORD topMost = 7;
    ASSERT_TRUE(ReadSetting(settings::kTopMost, &topMost));
    EXPECT_EQ(1u, topMost);
    ExpectTopMost(true);
    Photograph(L"mainframe_pinned");
    SendMessageW(hwnd_, WM_LBUTTONUP, 0, MAKELPARAM(120, 15));
    ASSERT_TRUE(ReadSetting(settings::kTopMost, &topMost));
    EXPECT_EQ(0u, topMost);
    ExpectTopMost(false);
}

TEST_F(MainFrameTest, MoveEndingOffScreenKeepsTheSavedPosition) {
    SetWindowPos(hwnd_, nullptr, 240, 130, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(hwnd_, WM_EXITSIZEMOVE, 0, 0);
    int x = 0, y = 0;
    ASSERT_TRUE(ReadWindowPos(&x, &y));
    EXPECT_EQ(240, x);
    EXPECT_EQ(130, y);
    for (POINT off : {POINT{GetSystemMetrics(SM_CXSCREEN) - 10, 50}, POINT{-186, 50}, POINT{50, -252}}) {
        SetWindowPos(hwnd_, nullptr, off.x, off.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(hwnd_, WM_EXITSIZEMOVE, 0, 0);
        ASSERT_TRUE(ReadWindowPos(&x, &y));
        EXPECT_EQ(240, x);
        EXPECT_EQ(130, y);
    }
}

TEST(MainFramePositionTest, SavedPositionIsUsedOnlyWhenOnScreen) {
    struct Case {
        int x, y, expectedX, expectedY;
    };
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const Case cases[] = {
        {-185, 40, -185, 40}, {-186, 40, 100, 100}, {40, -251, 40, -251}, {40, -252, 100, 100},
        {width - 11, 40, width - 11, 40}, {width - 10, 40, 100, 100}, {40, height - 10, 100, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        WriteSettingDword(settings::kWinPosX, static_cast<DWORD>(c.x));
        WriteSettingDword(settings::kWinPosY, static_cast<DWORD>(c.y));
        const POINT start = CMainFrame::StartPosition();
        EXPECT_EQ(c.expectedX, start.x);
        EXPECT_EQ(c.expectedY, start.y);
    }
}

TEST_F(MainFrameTest, DeviceChangesAndResumeRunTheDeviceCheck) {
    const int before = fake_->deviceChecks;
    SendMessageW(hwnd_, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
    EXPECT_EQ(before, fake_->deviceChecks.load());
    EXPECT_EQ(0, SendMessageW(hwnd_, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0));
    EXPECT_EQ(before + 1, fake_->deviceChecks.load());
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(Frame().StopEvent(), 0));
    SendMessageW(hwnd_, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    EXPECT_EQ(1, fake_->markedModified.load());
    EXPECT_EQ(before + 2, fake_->deviceChecks.load());
    SendMessageW(hwnd_, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    EXPECT_EQ(before + 2, fake_->deviceChecks.load());
}

TEST_F(MainFrameTest, DropsAreAllowedOnlyWithAReadyPlayerWhileIdle) {
    EXPECT_EQ(0, Frame().OnDragEnter(50, 100));
    ShowPlayer();
    EXPECT_EQ(1, Frame().OnDragEnter(50, 100));
    EXPECT_TRUE(Frame().IsDropHighlighted());
    Photograph(L"mainframe_drop_highlight");
    EXPECT_EQ(0, Frame().OnDragOver(50, 20));
    EXPECT_FALSE(Frame().IsDropHighlighted());
    EXPECT_EQ(1, Frame().OnDragOver(200, 181));
    SendMessageW(hwnd_, WM_COMMAND, CMainFrame::kIdExpand, 0);
    EXPECT_EQ(0, Frame().OnDragOver(190, 100));
    EXPECT_EQ(1, Frame().OnDragOver(186, 100));
    Frame().OnFileDrop(nullptr);
    EXPECT_EQ(1, fake_->drops.load());
    EXPECT_FALSE(Frame().IsDropHighlighted());
    Frame().UpdateProgress(1);
    EXPECT_EQ(0, Frame().OnDragEnter(50, 100));
    Frame().UpdateProgress(0);
    Flush();
    EXPECT_EQ(1, Frame().OnDragEnter(50, 100));
}

// The drop tool drags files from a process of its own through OLE, as the shell does.
TEST_F(MainFrameTest, FilesDraggedFromAnotherProgramReachTheCoordinator) {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring tool = module;
    tool = tool.substr(0, tool.find_last_of(L"\\/") + 1) + L"QbDropFiles.exe";
    wchar_t song[MAX_PATH] = {};
    GetFullPathNameW(L"" QB_TEST_DATA_DIR L"/mediaprobe/tagged.mp3", MAX_PATH, song, nullptr);
    // Nothing may cover the drop area while the pointer is on it: other tests' windows open near
    // the top left or in the middle of the screen, so the window goes to the bottom right.
    SetWindowPos(hwnd_, HWND_TOPMOST, GetSystemMetrics(SM_CXSCREEN) - 240, GetSystemMetrics(SM_CYSCREEN) - 300, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
    const std::wstring window = std::to_wstring(reinterpret_cast<UINT_PTR>(hwnd_));
    struct Case {
        bool player;
        DWORD exitCode;
        int drops;
    };
    // Without a player the window refuses; with one it takes the song.
    for (const Case& c : {Case{false, 1, 0}, Case{true, 0, 1}}) {
        SCOPED_TRACE(c.player ? "player" : "no player");
        if (c.player) {
            ShowPlayer();
        }
        CTestProcess drop;
        const std::wstring shot = ScreenshotPath(L"mainframe_dropped");
        ASSERT_TRUE(drop.Start(tool, L"--window " + window + L" --give-up 3 --shot \"" + shot + L"\" \"" + song + L"\""));
        DWORD exitCode = 99;
        ASSERT_TRUE(drop.Wait(kWait * 2, &exitCode));
        EXPECT_EQ(c.exitCode, exitCode);
        Flush();
        EXPECT_EQ(c.drops, fake_->drops.load());
    }
    ASSERT_EQ(1u, fake_->droppedFiles.size());
    EXPECT_EQ(0, _wcsicmp(song, fake_->droppedFiles[0].c_str())) << fake_->droppedFiles[0];
    EXPECT_FALSE(Frame().IsDropHighlighted());
}

TEST_F(MainFrameTest, TimersActivationAndButtons) {
    // Busy starts the animation at its first frame; once idle again its timer is gone, so only the
    // ticks sent here step it through the eight frames in turn.
    Frame().UpdateProgress(1);
    EXPECT_EQ(0, Frame().AnimationFrame());
    Frame().UpdateProgress(0);
    Flush();
    const int idleStart = Frame().AnimationFrame();
    for (int step = 1; step <= 8; ++step) {
        SendMessageW(hwnd_, WM_TIMER, CMainFrame::kTimerAnimation, 0);
        EXPECT_EQ((idleStart + step) % 8, Frame().AnimationFrame());
    }
    SendMessageW(hwnd_, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(229, Frame().WindowAlpha());
    SendMessageW(hwnd_, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(255, Frame().WindowAlpha());
    SendMessageW(hwnd_, WM_COMMAND, CMainFrame::kIdSettings, 0);
    EXPECT_EQ(1, fake_->settingsOpened.load());
    // Minimise acts on the frame even when another window is in the foreground.
    SendMessageW(hwnd_, WM_COMMAND, CMainFrame::kIdMinimise, 0);
    EXPECT_TRUE(IsIconic(hwnd_));
    ShowWindow(hwnd_, SW_RESTORE);
    PostMessageW(hwnd_, WM_COMMAND, CMainFrame::kIdClose, 0);
    EXPECT_TRUE(WaitUntil([this] { return !IsWindow(hwnd_); }, kWait));
}

}  // namespace
