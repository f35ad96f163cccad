#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "setup/screens/FormatHResultText.h"
#include "setup/screens/ScreenBase.h"
#include "setup/screens/ScreenView.h"
#include "setup/screens/SetupScreens.h"
#include "setup/wizard/SetupCodes.h"
#include "setup/wizard/SetupFrameLayout.h"
#include "setup/wizard/SetupMessages.h"
#include "tests/setup/screens/FakeSetupFrame.h"
#include "tests/setup/screens/FakeSetupManager.h"
#include "tests/support/WindowCapture.h"
#include "tests/support/WindowDriver.h"

namespace {

const wchar_t kFrameClass[] = L"HalvixScreenWindowsTestFrame";

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

// The size the text takes in the control's font: wrapped to the width for a static, on one line
// for a button. A word too long for the width makes the result wider than the width.
SIZE TextExtent(HWND control, const std::wstring& text, int width, bool wrap) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT bounds = {0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds,
              DT_CALCRECT | DT_NOPREFIX | (wrap ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top};
}

// The wizard's window for one language: a frame of that language's size, the fifteen screens
// made by the transitions' factory, and the fake frame that switches between them.
class ScreenSet {
public:
    explicit ScreenSet(LANGID language)
        : layout_(ComputeFrameLayout(language, 96, 96)), screens_(layout_), frame_(&manager_) {
        SetThreadUILanguage(language);
        SetThreadLocale(MAKELCID(language, SORT_DEFAULT));
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = FrameProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = kFrameClass;
        RegisterClassExW(&windowClass);
        window_ = CreateWindowExW(0, kFrameClass, L"Halvix Setup ", WS_CAPTION | WS_SYSMENU, 100, 100,
                                  layout_.frameWidth, layout_.frameHeight, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        frame_ = CFakeSetupFrame(&manager_, window_);
        for (unsigned screen = 0; screen < SetupScreen::kCount; ++screen) {
            frame_.screens.push_back(
                screens_.CreateScreen(screen, window_, SetupScreen::kFirstPaneId + screen, frame_));
        }
        frame_.SetCurrent(SetupScreen::kInit);
        ShowWindow(window_, SW_SHOWNOACTIVATE);
        PumpMessages();
    }
    ~ScreenSet() {
        frame_.screens.clear();
        if (window_ != nullptr) DestroyWindow(window_);
        PumpMessages();
        SetThreadUILanguage(0x0409);
        SetThreadLocale(MAKELCID(0x0409, SORT_DEFAULT));
    }

    bool Created() const {
        if (window_ == nullptr) return false;
        for (const auto& screen : frame_.screens) {
            if (!screen) return false;
        }
        return true;
    }
    CScreenView& View(unsigned screen) { return static_cast<CScreenView&>(*frame_.screens[screen]); }
    HWND Window() const { return window_; }
    CFakeSetupFrame& Frame() { return frame_; }
    CFakeSetupManager& Manager() { return manager_; }
    CSetupScreens& Screens() { return screens_; }
    const SetupFrameLayout& Layout() const { return layout_; }

    void Show(unsigned screen) {
        frame_.ShowScreen(screen);
        frame_.Drain(screens_);
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpMessages();
    }

private:
    SetupFrameLayout layout_;
    CSetupScreens screens_;
    CFakeSetupManager manager_;
    CFakeSetupFrame frame_;
    HWND window_ = nullptr;
};

// Every visible control of the screen lies inside the client area the layout gives, holds its
// whole text, and overlaps neither another control nor the picture.
void ExpectTidyLayout(CScreenView& view, const SetupFrameLayout& layout) {
    const SIZE client = ScreenClientSize(layout);
    std::vector<RECT> placed;
    const RECT image = view.ImageRect();
    if (!IsRectEmpty(&image)) {
        EXPECT_LE(image.right, client.cx);
        EXPECT_LE(image.bottom, client.cy);
        placed.push_back(image);
    }
    for (HWND child = GetWindow(view.Hwnd(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, view.Hwnd(), reinterpret_cast<POINT*>(&rect), 2);
        const std::wstring text = WindowText(child);
        SCOPED_TRACE(testing::Message() << "control " << GetDlgCtrlID(child) << " \"" << testing::PrintToString(text)
                                        << "\"");
        EXPECT_GE(rect.left, 0);
        EXPECT_GE(rect.top, 0);
        EXPECT_LE(rect.right, client.cx);
        EXPECT_LE(rect.bottom, client.cy);
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        const std::wstring kind = ClassOf(child);
        if (kind == L"Static" && !text.empty()) {
            const SIZE extent = TextExtent(child, text, width, true);
            EXPECT_LE(extent.cx, width) << "a word runs past the edge";
            EXPECT_LE(extent.cy, height) << "lines cut off at the bottom";
        } else if (kind == L"Button") {
            const SIZE extent = TextExtent(child, text, width, false);
            EXPECT_LE(extent.cx + 8, width) << "caption wider than its button";
            EXPECT_LE(extent.cy, height);
        }
        for (const RECT& other : placed) {
            RECT overlap;
            EXPECT_FALSE(IntersectRect(&overlap, &rect, &other))
                << "overlaps (" << other.left << "," << other.top << ")-(" << other.right << "," << other.bottom << ")";
        }
        placed.push_back(rect);
    }
}

struct LanguageCase {
    LANGID id;
    const wchar_t* tag;
};

const wchar_t* const kScreenNames[] = {
    L"00_init",         L"01_dual_activation", L"02_quillbay_running", L"03_reg_confirm",  L"04_reg_complete",
    L"05_user_confirm", L"06_end",             L"07_refresh_confirm",  L"08_refresh",      L"09_no_music",
    L"10_artwork",      L"11_unreg_confirm",   L"12_unreg_complete",   L"13_cancel",       L"14_error",
};

}  // namespace

TEST(ScreenWindowsTest, EveryScreenRegistersTheControlsTheFrameKeeps) {
    CFakeSetupFrame frame;
    SetupFrameLayout layout;
    CSetupScreens screens(layout);
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 500, 300, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    std::vector<std::unique_ptr<CUiWnd>> views;
    for (unsigned screen = 0; screen < SetupScreen::kCount; ++screen) {
        views.push_back(screens.CreateScreen(screen, parent, SetupScreen::kFirstPaneId + screen, frame));
        ASSERT_TRUE(views.back()) << "screen " << screen;
        EXPECT_EQ(GetDlgCtrlID(views.back()->Hwnd()), static_cast<int>(SetupScreen::kFirstPaneId + screen));
        EXPECT_FALSE(IsWindowVisible(views.back()->Hwnd())) << "screens start hidden";
    }
    EXPECT_EQ(screens.CreateScreen(SetupScreen::kCount, parent, 0, frame), nullptr);

    ASSERT_EQ(frame.Queue().size(), static_cast<size_t>(SetupScreen::kCount));
    for (unsigned screen = 0; screen < SetupScreen::kCount; ++screen) {
        SCOPED_TRACE(screen);
        const auto* message = dynamic_cast<const CUIMessage*>(frame.Queue()[screen].get());
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(message->screen, screen);
        EXPECT_EQ(message->event, SetupEvent::kControlsRegistered);
        EXPECT_EQ(message->error, 0);
        const bool keepsFirst = screen == SetupScreen::kRegConfirm || screen == SetupScreen::kUserConfirm ||
                                screen == SetupScreen::kRefreshProcessing || screen == SetupScreen::kError;
        EXPECT_EQ(message->control1 != nullptr, keepsFirst);
        EXPECT_EQ(message->control2 != nullptr, screen == SetupScreen::kRefreshProcessing);
    }
    const auto* refresh = dynamic_cast<const CUIMessage*>(frame.Queue()[SetupScreen::kRefreshProcessing].get());
    EXPECT_EQ(ClassOf(refresh->control1->Hwnd()), PROGRESS_CLASSW);
    views.clear();
    DestroyWindow(parent);
}

TEST(ScreenWindowsTest, ButtonsAndVisibilityBecomeEventsOfTheirScreen) {
    ScreenSet set(0x0409);
    ASSERT_TRUE(set.Created());
    set.Frame().ClearQueue();
    using namespace SetupEvent;
    const std::map<unsigned, std::vector<int>> buttons = {
        {SetupScreen::kInit, {}},
        {SetupScreen::kDualActivation, {kOk}},
        {SetupScreen::kQuillbayRunning, {kOk}},
        {SetupScreen::kRegConfirm, {kOk, SetupEvent::kCancel}},
        {SetupScreen::kRegComplete, {kOk}},
        {SetupScreen::kUserConfirm, {kOk, SetupEvent::kCancel}},
        {SetupScreen::kEnd, {kOk}},
        {SetupScreen::kRefreshConfirm, {kYes, kNo}},
        {SetupScreen::kRefreshProcessing, {SetupEvent::kCancel}},
        {SetupScreen::kRefreshNoMusic, {kOk}},
        {SetupScreen::kArtworkConfirm, {kYes, kNo}},
        {SetupScreen::kUnregConfirm, {kRefresh, kDeregister, SetupEvent::kCancel}},
        {SetupScreen::kUnregComplete, {kOk}},
        {SetupScreen::kCancel, {kOk}},
        {SetupScreen::kError, {kOk}},
    };
    for (const auto& [screen, events] : buttons) {
        SCOPED_TRACE(screen);
        HWND view = set.View(screen).Hwnd();
        ShowWindow(view, SW_HIDE);
        set.Frame().ClearQueue();
        ShowWindow(view, SW_SHOW);
        ShowWindow(view, SW_HIDE);
        std::vector<int> posted;
        // Left to right, as the buttons stand.
        int lastLeft = -1;
        for (int slot = 0; slot < 3; ++slot) {
            HWND button = GetDlgItem(view, 1011 + slot);
            if (button == nullptr) break;
            RECT rect;
            GetWindowRect(button, &rect);
            EXPECT_GT(rect.left, lastLeft);
            lastLeft = rect.left;
            SendClick(button);
        }
        for (const auto& record : set.Frame().Queue()) {
            const auto* message = dynamic_cast<const CUIMessage*>(record.get());
            ASSERT_NE(message, nullptr);
            EXPECT_EQ(message->screen, screen);
            EXPECT_EQ(message->control1, nullptr);
            EXPECT_EQ(message->error, 0);
            posted.push_back(message->event);
        }
        std::vector<int> expected = {kShown, kHidden};
        expected.insert(expected.end(), events.begin(), events.end());
        EXPECT_EQ(posted, expected);
        set.Frame().ClearQueue();
    }
}

TEST(ScreenWindowsTest, EveryScreenShowsItsWholeTextInEveryLanguage) {
    // Photographed in English, Japanese and German (the longest texts); the others are measured.
    const LanguageCase languages[] = {
        {0x0409, L"en"},   {0x0411, L"ja"},   {0x0407, L"de"},   {0x0404, nullptr},
        {0x040C, nullptr}, {0x0410, nullptr}, {0x0412, nullptr}, {0x0416, nullptr},
        {0x0419, nullptr}, {0x0804, nullptr}, {0x0816, nullptr}, {0x0C0A, nullptr},
    };
    for (const LanguageCase& language : languages) {
        SCOPED_TRACE(testing::Message() << "language " << std::hex << language.id);
        ScreenSet set(language.id);
        ASSERT_TRUE(set.Created());
        set.Frame().Drain(set.Screens());
        SetupFrameState& state = set.Frame().State();
        // What the frame puts on screen before it shows these screens.
        ASSERT_NE(state.modelText, nullptr);
        state.modelText->SetText(state.modelText->GetText() + L"TORNELLE NW-A306 (64 GB)");
        ASSERT_NE(state.errorTextControl, nullptr);
        state.errorTextControl->SetText(FormatHResultText(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)));
        for (unsigned screen = 0; screen < SetupScreen::kCount; ++screen) {
            SCOPED_TRACE(screen);
            if (screen == SetupScreen::kUserConfirm) {
                state.ownBrand = true;
                set.Frame().SetCurrent(SetupScreen::kRegConfirm);
                set.Frame().OnUIEvent(nullptr, nullptr, SetupScreen::kRegConfirm, SetupEvent::kOk, 0);
            }
            if (screen == SetupScreen::kRefreshProcessing) {
                set.Frame().SetCurrent(SetupScreen::kRefreshProcessing);
                set.Frame().OnProcEvent(40000, 0, SetupProgress::kKind, SetupProgress::kListReady, nullptr, 0);
                set.Frame().Drain(set.Screens());
                // Far into a long refresh, for the widest counter: five digits on both sides.
                state.songsWritten = 38888;
                state.songsAnalysed = 38887;
                set.Frame().OnProcEvent(0, 0, SetupProgress::kKind, SetupProgress::kTransferred, nullptr, 0);
            }
            set.Frame().Drain(set.Screens());
            set.Show(screen);
            ASSERT_EQ(set.Frame().CurrentScreen(), screen);
            ExpectTidyLayout(set.View(screen), set.Layout());
            if (language.tag == nullptr) continue;
            CWindowCapture capture;
            ASSERT_TRUE(capture.Capture(set.Window()));
            EXPECT_TRUE(capture.SavePng(ScreenshotPath(std::wstring(L"screen_") + language.tag + L"_" +
                                                       kScreenNames[screen])));
            EXPECT_FALSE(capture.LooksBlank());
        }
    }
}

TEST(ScreenWindowsTest, ARefreshOfFortyThousandSongsFillsTheBarOnScreen) {
    ScreenSet set(0x0409);
    ASSERT_TRUE(set.Created());
    set.Frame().Drain(set.Screens());
    set.Frame().SetCurrent(SetupScreen::kRefreshProcessing);
    set.Show(SetupScreen::kRefreshProcessing);
    HWND bar = GetDlgItem(set.View(SetupScreen::kRefreshProcessing).Hwnd(), 1004);
    ASSERT_NE(bar, nullptr);
    constexpr int kSongs = 40000;
    set.Frame().OnProcEvent(kSongs, 0, SetupProgress::kKind, SetupProgress::kListReady, nullptr, 0);
    set.Frame().Drain(set.Screens());
    PBRANGE range{};
    SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 2 * kSongs);
    // The frame stays hidden while the songs come through: repainting every step under Xvfb
    // would take minutes. It is shown for the pictures.
    ShowWindow(set.Window(), SW_HIDE);
    for (int song = 0; song < kSongs; ++song) {
        set.Frame().OnProcEvent(0, 0, SetupProgress::kKind, SetupProgress::kMoodStepDone, L"song", 0);
        set.Frame().OnProcEvent(0, 0, SetupProgress::kKind, SetupProgress::kItemDone, nullptr, 0);
        set.Frame().Drain(set.Screens());
        if (song == kSongs / 2) {
            ShowWindow(set.Window(), SW_SHOWNOACTIVATE);
            set.Show(SetupScreen::kRefreshProcessing);
            CWindowCapture capture;
            ASSERT_TRUE(capture.Capture(set.Window()));
            EXPECT_TRUE(capture.SavePng(ScreenshotPath(L"refresh_40000_half")));
            ShowWindow(set.Window(), SW_HIDE);
        }
    }
    ShowWindow(set.Window(), SW_SHOWNOACTIVATE);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 2 * kSongs);
    EXPECT_EQ(set.Frame().CurrentScreen(), SetupScreen::kEnd);
    // The finished bar, shown once more for the picture.
    set.Show(SetupScreen::kRefreshProcessing);
    CWindowCapture capture;
    ASSERT_TRUE(capture.Capture(set.Window()));
    EXPECT_TRUE(capture.SavePng(ScreenshotPath(L"refresh_40000_done")));
    // The bar's end is drawn: its right-most inner pixels carry the bar colour, not the background.
    RECT barRect;
    GetWindowRect(bar, &barRect);
    MapWindowPoints(nullptr, set.Window(), reinterpret_cast<POINT*>(&barRect), 2);
    const int middle = (barRect.top + barRect.bottom) / 2;
    EXPECT_NE(capture.Pixel(barRect.right - 4, middle), capture.Pixel(barRect.right + 4, middle));
    EXPECT_EQ(capture.Pixel(barRect.right - 4, middle), capture.Pixel(barRect.left + 4, middle));
}

TEST(ScreenWindowsTest, PicturesAreBlendedOverTheScreenByTheirAlpha) {
    ScreenSet set(0x0409);
    ASSERT_TRUE(set.Created());
    set.Frame().Drain(set.Screens());
    set.Show(SetupScreen::kEnd);
    const RECT image = set.View(SetupScreen::kEnd).ImageRect();
    ASSERT_FALSE(IsRectEmpty(&image));
    CWindowCapture capture;
    ASSERT_TRUE(capture.Capture(set.Window()));
    // The screen's origin within the frame's client area.
    POINT origin{0, 0};
    MapWindowPoints(set.View(SetupScreen::kEnd).Hwnd(), set.Window(), &origin, 1);
    const auto pixel = [&](int x, int y) { return capture.Pixel(origin.x + image.left + x, origin.y + image.top + y); };
    // A transparent corner shows the white screen; the check mark's circle, drawn in green at
    // 235 of 255, shows a little white through.
    EXPECT_EQ(pixel(1, 1), 0xFFFFFFu);
    const uint32_t circle = pixel(100, 45 + 22);
    const int red = (circle >> 16) & 0xFF, green = (circle >> 8) & 0xFF, blue = circle & 0xFF;
    EXPECT_NEAR(red, 46 * 235 / 255 + 20, 6);
    EXPECT_NEAR(green, 160 * 235 / 255 + 20, 6);
    EXPECT_NEAR(blue, 67 * 235 / 255 + 20, 6);
}
