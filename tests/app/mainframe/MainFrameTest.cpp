#include "app/mainframe/MainFrame.h"

#include <gtest/gtest.h>

#include <atomic>
#include <dbt.h>
#include <gdiplus.h>

#include <set>

#include "library/util/SettingNames.h"
#include "library/util/Settings.h"
#include "platform/ui/UiGdiplusSession.h"
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
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    *width = w;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, rect.left, rect.top, SRCCOPY);
    std::set<COLORREF> colours;
    for (int y = 0; y < h; y += 4) {
        for (int x = 0; x < w; x += 4) {
            colours.insert(GetPixel(memory, x, y));
        }
    }
    SelectObject(memory, previous);
    bool saved = false;
    {
        Gdiplus::Bitmap picture(bitmap, nullptr);
        const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
        saved = picture.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved && colours.size() > 8;
}

// Stands in for the coordinator: counts what the window asks of it.
class CFakeCoordinator : public IMainFrameCoordinator, public IMainFrameListener {
public:
    IMainFrameListener* Listener() override { return this; }
    HRESULT Initialize() override { ++initialized; return S_OK; }
    void Shutdown() override { ++shutdowns; }
    void OnDeviceStateChanged() override { ++deviceChecks; }
    void MarkActiveDeviceModified() override { ++markedModified; }
    void OpenSettingsSheet() override { ++settingsOpened; }
    void OpenDeleteDialog(int kind) override { lastDeleteKind = kind; }
    void OpenSyncSelectDialog(int) override {}
    void ShowLogDialog() override {}
    void OnDrop(IDataObject*) override { ++drops; }
    void OnCancel(int32_t) override { ++cancels; }
    void OnSettingsChanged() override {}
    void OnRefreshDevice() override { ++refreshes; }
    void OnStartSync() override {}

    std::atomic<int> initialized{0}, shutdowns{0}, deviceChecks{0}, markedModified{0}, settingsOpened{0},
        lastDeleteKind{-1}, drops{0}, cancels{0}, refreshes{0};
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
    }

    void Photograph(const wchar_t* name) {
        SendMessageW(hwnd_, WM_NULL, 0, 0);
        Frame().DrawSkin();
        // A layered window's contents live with the compositor, not in its DC: grab the screen.
        // The X server shows a new layered picture a little later: grab until it is there.
        EXPECT_TRUE(WaitUntil([&] { return GrabScreen(hwnd_, ScreenshotPath(name), &lastWidth_); }, kWait));
    }

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
    EXPECT_FALSE(Frame().IsBusy());
    EXPECT_FALSE(IsWindowVisible(Frame().ButtonWindow(CMainFrame::kIdCancel)));
    EXPECT_TRUE(IsWindowEnabled(Frame().ButtonWindow(CMainFrame::kIdSettings)));
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

TEST_F(MainFrameTest, CancelStopsTheRunThenTellsTheCoordinator) {
    ShowPlayer();
    Frame().UpdateProgress(1);
    SendMessageW(hwnd_, WM_COMMAND, CMainFrame::kIdCancel, 0);
    EXPECT_EQ(1, fake_->cancels.load());
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(Frame().StopEvent(), 0));
    // With the stop pending, the idle switch only repaints and leaves the controls alone.
    Frame().UpdateProgress(0);
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
    EXPECT_EQ(1, Frame().OnDragEnter(50, 100));
}

TEST_F(MainFrameTest, TimersActivationAndButtons) {
    // Busy starts the animation at its first frame; once idle again its timer is gone, so only the
    // ticks sent here step it through the eight frames in turn.
    Frame().UpdateProgress(1);
    EXPECT_EQ(0, Frame().AnimationFrame());
    Frame().UpdateProgress(0);
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
