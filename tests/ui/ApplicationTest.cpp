#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <fstream>
#include <string>
#include <vector>

#include "library/util/ModuleFolder.h"
#include "platform/ui/UiLanguageModule.h"
#include "tests/support/TestProcess.h"
#include "tests/support/UiTestThread.h"
#include "tests/support/WindowCapture.h"
#include "tests/support/WindowDriver.h"
#include "platform/ui/UiWindowText.h"
#include "tests/ui/DemoApp.h"
#include "tests/ui/DemoDialog.h"
#include "tests/ui/DemoResources.h"

using ::testing::ElementsAre;

namespace {

struct ProgramRun {
    DWORD exitCode = 0;
    std::vector<std::string> events;
};

const DWORD kProgramWaitMs = 20000;

std::wstring DemoLogPath() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"ui_demo_" + std::to_wstring(GetCurrentProcessId()) + L".log";
}

// The order the demo program recorded, read once it has ended.
std::vector<std::string> ReadDemoLog(const std::wstring& logPath) {
    std::vector<std::string> events;
    FILE* file = _wfopen(logPath.c_str(), L"rb");
    if (file == nullptr) return events;
    char line[256];
    while (std::fgets(line, sizeof(line), file) != nullptr) {
        std::string event(line);
        while (!event.empty() && (event.back() == '\n' || event.back() == '\r')) event.pop_back();
        events.push_back(event);
    }
    std::fclose(file);
    DeleteFileW(logPath.c_str());
    return events;
}

// Runs the demo program with the given flags to its end.
ProgramRun RunDemoProgram(const std::wstring& flags) {
    ProgramRun run;
    const std::wstring logPath = DemoLogPath();
    DeleteFileW(logPath.c_str());
    CTestProcess program;
    if (!program.Start(GetModuleFolder() + L"ui_demo.exe", flags + L" -log \"" + logPath + L"\"")) {
        ADD_FAILURE() << "ui_demo.exe did not start: " << GetLastError();
        return run;
    }
    EXPECT_TRUE(program.Wait(kProgramWaitMs, &run.exitCode));
    run.events = ReadDemoLog(logPath);
    return run;
}

}  // namespace

TEST(ApplicationTest, StaticObjectsAreBuiltBeforeInitInstanceAndExitInstanceGivesTheExitCode) {
    const ProgramRun run = RunDemoProgram(L"");
    EXPECT_EQ(run.exitCode, 3u);
    EXPECT_THAT(run.events, ElementsAre("static object before the application", "application constructed",
                                        "static object after the application", "InitInstance", "PreCreateWindow",
                                        "OnCreate", "OnDestroy", "ExitInstance"));
}

TEST(ApplicationTest, FalseFromInitInstanceEndsTheProgramButExitInstanceStillRuns) {
    const ProgramRun run = RunDemoProgram(L"-fail");
    EXPECT_EQ(run.exitCode, 3u);
    EXPECT_THAT(run.events, ElementsAre("static object before the application", "application constructed",
                                        "static object after the application", "InitInstance", "ExitInstance"));

    // The same within a process: no message loop runs, and the loop's code stays 0.
    CDemoEventLog log;
    CDemoApp app(log, nullptr);
    app.failInit = true;
    EXPECT_EQ(app.Main(GetModuleHandleW(nullptr)), 0);
    EXPECT_THAT(log.Events(), ElementsAre("InitInstance", "ExitInstance"));
}

TEST(ApplicationTest, AProgramsWindowsAreDrivenAndPhotographedFromTheTest) {
    const std::wstring logPath = DemoLogPath();
    CTestProcess program;
    ASSERT_TRUE(program.Start(GetModuleFolder() + L"ui_demo.exe", L"-stay -log \"" + logPath + L"\""));
    HWND frame = WaitForProcessWindow(program.Id(), CUiFrameWnd::kDefaultClassName, L"Framework demo", kProgramWaitMs);
    ASSERT_NE(frame, nullptr);
    CWindowCapture frameShot;
    ASSERT_TRUE(frameShot.Capture(frame));
    EXPECT_TRUE(frameShot.SavePng(ScreenshotPath(L"ui_demo_program")));
    EXPECT_FALSE(frameShot.LooksBlank());

    ASSERT_TRUE(PostClick(GetDlgItem(frame, CDemoFrame::kOptionsButtonId)));
    // Without a language module the template's title stays.
    HWND dialog = WaitForProcessWindow(program.Id(), L"#32770", L"Options (template)", kProgramWaitMs);
    ASSERT_NE(dialog, nullptr);
    CWindowCapture dialogShot;
    ASSERT_TRUE(dialogShot.Capture(dialog));
    EXPECT_TRUE(dialogShot.SavePng(ScreenshotPath(L"ui_demo_program_dialog")));
    EXPECT_FALSE(dialogShot.LooksBlank());
    // The buttons were painted: their raised border's corner differs from the face.
    RECT cancel;
    GetWindowRect(GetDlgItem(dialog, IDCANCEL), &cancel);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&cancel), 2);
    EXPECT_NE(dialogShot.Pixel(cancel.left, cancel.top),
              dialogShot.Pixel(cancel.right - 5, (cancel.top + cancel.bottom) / 2));
    ASSERT_TRUE(PostClick(GetDlgItem(dialog, IDCANCEL)));
    ASSERT_TRUE(WaitUntil([dialog] { return !IsWindow(dialog); }, kProgramWaitMs));

    PostMessageW(frame, WM_CLOSE, 0, 0);
    DWORD exitCode = 0;
    ASSERT_TRUE(program.Wait(kProgramWaitMs, &exitCode));
    EXPECT_EQ(exitCode, 3u);
    EXPECT_THAT(ReadDemoLog(logPath),
                ElementsAre("static object before the application", "application constructed",
                            "static object after the application", "InitInstance", "PreCreateWindow", "OnCreate",
                            "OnOptions", "OnInitDialog", "DoDataExchange load", "OnCancel", "DoModal 2", "OnDestroy",
                            "ExitInstance"));
}

TEST(ApplicationTest, MinusOneFromOnCreateFailsTheCreation) {
    CDemoEventLog log;
    CUiFrameWnd::CreateArgs args;
    args.title = L"Failing frame";

    CDemoFrame failing(log, nullptr);
    failing.failCreate = true;
    EXPECT_FALSE(failing.Create(args));
    EXPECT_EQ(failing.Hwnd(), nullptr);
    EXPECT_EQ(FindWindowW(CUiFrameWnd::kDefaultClassName, L"Failing frame"), nullptr);
    EXPECT_THAT(log.Events(), ::testing::IsSupersetOf({"PreCreateWindow", "OnCreate"}));

    CDemoFrame working(log, nullptr);
    EXPECT_TRUE(working.Create(args));
    EXPECT_NE(working.Hwnd(), nullptr);
    EXPECT_NE(GetDlgItem(working.Hwnd(), CDemoFrame::kOptionsButtonId), nullptr);
}

TEST(ApplicationTest, ADialogTemplateCanComeFromAResourceModule) {
    CUiLanguageModule language;
    ASSERT_TRUE(language.Load(GetModuleFolder() + L"ui_demo_language.dll"));
    CDemoEventLog log;
    CDemoDialog notice(log, language.Handle(), IDD_DEMO_MODULE_NOTICE, language.Handle());
    INT_PTR result = -2;
    CUiTestThread ui;
    ASSERT_TRUE(ui.Start([&] { result = notice.DoModal(nullptr); }));
    HWND dialog = WaitForThreadWindow(ui.ThreadId(), L"#32770", L"Demo options", kProgramWaitMs);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetWindowTextString(GetDlgItem(dialog, IDC_DEMO_LABEL)), L"Choose how the demo behaves.");
    ASSERT_TRUE(PostClick(GetDlgItem(dialog, IDOK)));
    ASSERT_TRUE(ui.Join(kProgramWaitMs));
    EXPECT_EQ(result, IDOK);
    EXPECT_THAT(log.Events(), ElementsAre("OnInitDialog", "DoDataExchange load", "OnOK", "DoDataExchange save"));
    // The program itself has no such template.
    CDemoDialog missing(log, nullptr, IDD_DEMO_MODULE_NOTICE);
    EXPECT_EQ(missing.DoModal(nullptr), -1);
}

TEST(ApplicationTest, PreCreateWindowCanGiveTheFrameAClassOfItsOwn) {
    class CNamedClassFrame : public CUiFrameWnd {
    protected:
        BOOL PreCreateWindow(CREATESTRUCTW& create) override {
            if (!CUiFrameWnd::PreCreateWindow(create)) return FALSE;
            if (!RegisterFrameClass(L"QB_TEST_NAMED_FRAME", 0, LoadCursorW(nullptr, IDC_ARROW), nullptr, nullptr)) {
                return FALSE;
            }
            create.lpszClass = L"QB_TEST_NAMED_FRAME";
            return TRUE;
        }
    };
    CUiFrameWnd::CreateArgs args;
    args.title = L"Named frame";
    CNamedClassFrame frame;
    ASSERT_TRUE(frame.Create(args));
    EXPECT_EQ(FindWindowW(L"QB_TEST_NAMED_FRAME", L"Named frame"), frame.Hwnd());
    EXPECT_EQ(CUiWnd::FromHandle(frame.Hwnd()), &frame);
    // Registering the class again is no failure.
    EXPECT_TRUE(CUiFrameWnd::RegisterFrameClass(L"QB_TEST_NAMED_FRAME", 0, nullptr, nullptr, nullptr));
}

TEST(ApplicationTest, OleStartedInInitInstanceLastsUntilAfterExitInstance) {
    class COleApp : public CUiApp {
    public:
        BOOL InitInstance() override {
            oleStarted = InitOle();
            return FALSE;
        }
        int ExitInstance() override {
            // S_FALSE: the apartment already exists, OLE is still up.
            const HRESULT probe = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
            oleUpInExitInstance = probe == S_FALSE;
            if (SUCCEEDED(probe)) CoUninitialize();
            return 0;
        }
        bool oleStarted = false;
        bool oleUpInExitInstance = false;
    };
    COleApp app;
    HRESULT afterMain = E_FAIL;
    CUiTestThread ui;
    ASSERT_TRUE(ui.Start([&] {
        app.Main(GetModuleHandleW(nullptr));
        afterMain = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (SUCCEEDED(afterMain)) CoUninitialize();
    }));
    ASSERT_TRUE(ui.Join(kProgramWaitMs));
    EXPECT_TRUE(app.oleStarted);
    EXPECT_TRUE(app.oleUpInExitInstance);
    EXPECT_EQ(afterMain, S_OK);
}

TEST(ApplicationTest, ModelessDialogGetsItsKeysThroughTheLoopAndClosesItselfOnOk) {
    CUiApp app;
    CDemoEventLog log;
    CDemoDialog dialog(log, nullptr);
    dialog.name = L"Kitchen";
    ASSERT_TRUE(dialog.Create(nullptr));
    HWND hwnd = dialog.Hwnd();
    ShowWindow(hwnd, SW_SHOW);
    EXPECT_EQ(GetWindowTextString(GetDlgItem(hwnd, IDC_DEMO_NAME)), L"Kitchen");
    SendMessageW(GetDlgItem(hwnd, IDC_DEMO_REMEMBER), BM_CLICK, 0, 0);

    // Return in the edit reaches the dialog manager only through the loop's PreTranslateMessage.
    HWND edit = GetDlgItem(hwnd, IDC_DEMO_NAME);
    MSG message{};
    message.hwnd = edit;
    message.message = WM_KEYDOWN;
    message.wParam = VK_RETURN;
    EXPECT_TRUE(app.PreTranslateMessage(&message));

    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(dialog.Hwnd(), nullptr);
    EXPECT_EQ(dialog.remember, BST_CHECKED);
    EXPECT_THAT(log.Events(),
                ElementsAre("OnInitDialog", "DoDataExchange load", "OnOK", "DoDataExchange save"));
}
