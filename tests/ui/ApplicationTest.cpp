#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "library/util/ModuleFolder.h"
#include "library/util/ScopedWin.h"
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

// Runs the demo program with the given flags and reads back the order it recorded.
ProgramRun RunDemoProgram(const std::wstring& flags) {
    ProgramRun run;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring logPath = std::wstring(temp) + L"ui_demo_" + std::to_wstring(GetCurrentProcessId()) + L".log";
    DeleteFileW(logPath.c_str());
    std::wstring commandLine = L"\"" + GetModuleFolder() + L"ui_demo.exe\" " + flags + L" -log \"" + logPath + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "ui_demo.exe did not start: " << GetLastError();
        return run;
    }
    CScopedHandle processHandle(process.hProcess);
    CScopedHandle threadHandle(process.hThread);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    FILE* file = _wfopen(logPath.c_str(), L"rb");
    if (file == nullptr) return run;
    char line[256];
    while (std::fgets(line, sizeof(line), file) != nullptr) {
        std::string event(line);
        while (!event.empty() && (event.back() == '\n' || event.back() == '\r')) event.pop_back();
        run.events.push_back(event);
    }
    std::fclose(file);
    DeleteFileW(logPath.c_str());
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
