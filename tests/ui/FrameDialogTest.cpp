#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "library/util/ModuleFolder.h"
#include "platform/ui/UiLanguageModule.h"
#include "tests/support/UiTestThread.h"
#include "tests/support/WindowCapture.h"
#include "tests/support/WindowDriver.h"
#include "tests/ui/DemoApp.h"
#include "tests/ui/DemoResources.h"

using ::testing::ElementsAre;

namespace {

// The first window of a fresh Wine process can take seconds to appear.
const DWORD kWindowWaitMs = 20000;

// Runs the demo application on a user-interface thread of its own, as the program would.
class FrameDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(language_.Load(GetModuleFolder() + L"ui_demo_language.dll"));
        app_ = std::make_unique<CDemoApp>(log_, language_.Handle());
        ASSERT_TRUE(ui_.Start([this] { exitCode_ = app_->Main(GetModuleHandleW(nullptr)); }));
        frame_ = WaitForThreadWindow(ui_.ThreadId(), CUiFrameWnd::kDefaultClassName, L"Framework demo", kWindowWaitMs);
        ASSERT_NE(frame_, nullptr);
    }

    void TearDown() override {
        if (frame_ != nullptr && IsWindow(frame_)) PostMessageW(frame_, WM_CLOSE, 0, 0);
        EXPECT_TRUE(ui_.Join(kWindowWaitMs));
    }

    // Closes the frame and waits for the application to end.
    void CloseApp() {
        PostMessageW(frame_, WM_CLOSE, 0, 0);
        ASSERT_TRUE(ui_.Join(kWindowWaitMs));
        frame_ = nullptr;
    }

    HWND OpenOptions() {
        EXPECT_TRUE(PostClick(GetDlgItem(frame_, CDemoFrame::kOptionsButtonId)));
        return WaitForThreadWindow(ui_.ThreadId(), L"#32770", L"Demo options", kWindowWaitMs);
    }

    static void ExpectPicture(HWND hwnd, const wchar_t* name, CWindowCapture& capture) {
        SCOPED_TRACE(testing::Message() << "screenshot " << testing::PrintToString(std::wstring(name)));
        ASSERT_TRUE(capture.Capture(hwnd));
        EXPECT_TRUE(capture.SavePng(ScreenshotPath(name)));
        EXPECT_FALSE(capture.LooksBlank());
    }

    CUiLanguageModule language_;
    CDemoEventLog log_;
    std::unique_ptr<CDemoApp> app_;
    CUiTestThread ui_;
    HWND frame_ = nullptr;
    int exitCode_ = -1;
};

// Where a child control lies within its parent's client-area picture.
RECT RectInParent(HWND child, HWND parent) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The control was painted: its 3-D border's outer corner differs from its face inside.
void ExpectControlDrawn(const CWindowCapture& capture, const RECT& rect) {
    const uint32_t corner = capture.Pixel(rect.left, rect.top);
    const uint32_t face = capture.Pixel(rect.right - 5, (rect.top + rect.bottom) / 2);
    EXPECT_NE(corner, face) << "control at " << rect.left << "," << rect.top << " looks unpainted";
}

}  // namespace

TEST_F(FrameDialogTest, ButtonOpensTheModalDialogAndOkHandsItsValuesBack) {
    CWindowCapture frameShot;
    ExpectPicture(frame_, L"ui_frame", frameShot);
    ExpectControlDrawn(frameShot, RectInParent(GetDlgItem(frame_, CDemoFrame::kOptionsButtonId), frame_));

    HWND dialog = OpenOptions();
    ASSERT_NE(dialog, nullptr);
    HWND remember = GetDlgItem(dialog, IDC_DEMO_REMEMBER);
    // The language module gives the title and the label; it lacks the check box's text, which
    // therefore stays the template's.
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_DEMO_LABEL)), L"Choose how the demo behaves.");
    EXPECT_EQ(WindowText(remember), L"Remember (template)");
    EXPECT_EQ(SendMessageW(remember, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    SendClick(remember);
    EXPECT_EQ(SendMessageW(remember, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageW(GetDlgItem(dialog, IDC_DEMO_NAME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Living room"));

    CWindowCapture dialogShot;
    ExpectPicture(dialog, L"ui_options_dialog", dialogShot);
    ExpectControlDrawn(dialogShot, RectInParent(GetDlgItem(dialog, IDOK), dialog));
    ExpectControlDrawn(dialogShot, RectInParent(GetDlgItem(dialog, IDC_DEMO_NAME), dialog));

    ASSERT_TRUE(PostClick(GetDlgItem(dialog, IDOK)));
    ASSERT_TRUE(WaitUntil([this] { return log_.Contains("DoModal 1"); }, kWindowWaitMs));
    EXPECT_FALSE(IsWindow(dialog));
    CloseApp();

    EXPECT_THAT(log_.Events(),
                ElementsAre("InitInstance", "PreCreateWindow", "OnCreate", "OnOptions", "OnInitDialog",
                            "DoDataExchange load", "OnOK", "DoDataExchange save", "DoModal 1",
                            "remember 1, name Living room", "OnDestroy", "ExitInstance"));
    EXPECT_EQ(exitCode_, 0);
}

TEST_F(FrameDialogTest, CancelLeavesTheValuesAsTheyWere) {
    HWND dialog = OpenOptions();
    ASSERT_NE(dialog, nullptr);
    SendClick(GetDlgItem(dialog, IDC_DEMO_REMEMBER));
    ASSERT_TRUE(PostClick(GetDlgItem(dialog, IDCANCEL)));
    ASSERT_TRUE(WaitUntil([this] { return log_.Contains("DoModal 2"); }, kWindowWaitMs));
    CloseApp();

    EXPECT_THAT(log_.Events(), ElementsAre("InitInstance", "PreCreateWindow", "OnCreate", "OnOptions", "OnInitDialog",
                                           "DoDataExchange load", "OnCancel", "DoModal 2", "OnDestroy",
                                           "ExitInstance"));
}

TEST_F(FrameDialogTest, PreTranslateMessageTakesKeysBeforeTheWindowSeesThem) {
    PostMessageW(frame_, WM_KEYDOWN, VK_F1, 0);
    PostMessageW(frame_, WM_KEYDOWN, VK_F2, 0);
    ASSERT_TRUE(WaitUntil([this] { return log_.Contains("WindowProc WM_KEYDOWN"); }, kWindowWaitMs));
    CloseApp();

    EXPECT_THAT(log_.Events(), ElementsAre("InitInstance", "PreCreateWindow", "OnCreate", "PreTranslateMessage F1",
                                           "WindowProc WM_KEYDOWN", "OnDestroy", "ExitInstance"));
}

TEST_F(FrameDialogTest, RegisteredMessageReachesItsHandlerWithItsParameters) {
    EXPECT_EQ(RegisterWindowMessageW(L"QbUiDemoPingMessage"), CDemoFrame::kPingMessage.Id());
    EXPECT_EQ(SendMessageW(frame_, CDemoFrame::kPingMessage.Id(), 2, 40), 42);
    EXPECT_TRUE(log_.Contains("OnPing"));
}

TEST_F(FrameDialogTest, TimerFiresItsHandlerUntilKilled) {
    PostMessageW(frame_, WM_COMMAND, CDemoFrame::kStartTimerCommand, 0);
    ASSERT_TRUE(WaitUntil([this] { return log_.Contains("OnTimer 7"); }, kWindowWaitMs));
    Sleep(100);
    CloseApp();

    EXPECT_THAT(log_.Events(), ElementsAre("InitInstance", "PreCreateWindow", "OnCreate", "OnTimer 7", "OnDestroy",
                                           "ExitInstance"));
}
