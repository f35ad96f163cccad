// Quillbay.exe started as a user, the detector or COM would start it: the single-instance rule,
// the setup wizard's mutex and a missing language module.

#include <gtest/gtest.h>

#include <string>

#include "library/util/ModuleFolder.h"
#include "library/util/ScopedWin.h"
#include "tests/support/TestProcess.h"
#include "tests/support/WindowCapture.h"
#include "tests/support/WindowDriver.h"

namespace {

const DWORD kWaitMs = 60000;
const wchar_t kFrameClass[] = L"QUILLBAY_MAIN_FRAME";

std::wstring Program() { return GetModuleFolder() + L"Quillbay.exe"; }

std::wstring LanguageText(UINT id) {
    HMODULE module = LoadLibraryExW((GetModuleFolder() + L"Resources\\QuillbayResource.dll").c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE);
    wchar_t text[512] = {};
    if (module) {
        LoadStringW(module, id, text, 512);
        FreeLibrary(module);
    }
    return text;
}

// The message box a start shows: its text, and it is closed so the start can end.
std::wstring AnswerMessageBox(const CTestProcess& start) {
    HWND box = WaitForProcessWindow(start.Id(), L"#32770", L"Quillbay", kWaitMs);
    if (!box) return L"<no message box>";
    std::wstring text = WindowText(GetDlgItem(box, 0xFFFF));
    PostClick(GetDlgItem(box, IDOK));
    return text;
}

// The manifest Windows reads as it starts the program.
std::string ProgramManifest() {
    std::string text;
    HMODULE module = LoadLibraryExW(Program().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return text;
    if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST)) {
        if (HGLOBAL loaded = LoadResource(module, found)) {
            text.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
        }
    }
    FreeLibrary(module);
    return text;
}

// The skinned window as the user sees it: it paints in its own time, so the picture is taken once
// the skin is on the screen.
void Photograph(HWND frame, const wchar_t* name) {
    CWindowCapture capture;
    const auto skinShown = [&] {
        return capture.Capture(frame) && !capture.LooksBlank() && capture.DistinctColours() > 8;
    };
    EXPECT_TRUE(WaitUntil(skinShown, kWaitMs)) << "the main window shows no skin";
    EXPECT_TRUE(capture.SavePng(ScreenshotPath(name)));
}

TEST(QuillbayStartupTest, WithoutItsLanguageModuleTheProgramEndsWithoutAWindow) {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(0u, GetTempPathW(MAX_PATH, temp));
    const std::wstring folder = std::wstring(temp) + L"QuillbayStartupTest.NoLanguageModule." +
                                std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring copy = folder + L"\\Quillbay.exe";
    ASSERT_TRUE(CopyFileW(Program().c_str(), copy.c_str(), FALSE));
    CTestProcess start;
    ASSERT_TRUE(start.Start(copy, L""));
    // A start that got as far as its window would run until closed.
    EXPECT_TRUE(start.Wait(kWaitMs));
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST(QuillbayStartupTest, WhileTheSetupWizardRunsEvenADetectorStartShowsWhyAndEnds) {
    CScopedHandle wizard(CreateMutexW(nullptr, TRUE, L"HalvixSetup.exe"));
    ASSERT_TRUE(wizard.IsValid());
    CTestProcess start;
    ASSERT_TRUE(start.Start(Program(), L"-s"));
    EXPECT_EQ(LanguageText(275), AnswerMessageBox(start));
    EXPECT_TRUE(start.Wait(kWaitMs));
    EXPECT_EQ(nullptr, FindProcessWindow(start.Id(), kFrameClass, L"Quillbay"));
}

TEST(QuillbayStartupTest, ASecondStartBringsTheFirstForwardOrStaysSilentWithS) {
    CTestProcess first;
    ASSERT_TRUE(first.Start(Program(), L""));
    HWND frame = WaitForProcessWindow(first.Id(), kFrameClass, L"Quillbay", kWaitMs);
    ASSERT_NE(nullptr, frame);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(frame) != FALSE; }, kWaitMs));

    // The settings command reaches the coordinator, which opens its settings sheet.
    const UINT kSettingsCommand = 101;
    PostMessageW(frame, WM_COMMAND, kSettingsCommand, 0);
    HWND sheet = WaitForProcessWindow(first.Id(), L"#32770", LanguageText(120), kWaitMs);
    ASSERT_NE(nullptr, sheet) << "no settings sheet";
    CWindowCapture sheetPicture;
    EXPECT_TRUE(sheetPicture.Capture(sheet));
    EXPECT_TRUE(sheetPicture.SavePng(ScreenshotPath(L"quillbay_settings_sheet")));
    PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(sheet); }, kWaitMs)) << "the settings sheet did not close";

    ShowWindow(frame, SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(frame) != FALSE; }, kWaitMs));

    CTestProcess second;
    ASSERT_TRUE(second.Start(Program(), L""));
    EXPECT_TRUE(second.Wait(kWaitMs));
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(frame); }, kWaitMs)) << "the first window was not restored";

    CTestProcess byDetector;
    ASSERT_TRUE(byDetector.Start(Program(), L"-s"));
    EXPECT_TRUE(byDetector.Wait(kWaitMs));

    PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_TRUE(first.Wait(kWaitMs));
}

// The program is DPI-aware: its skinned window is layered and, collapsed, 200 x 266 at 96 DPI and a
// quarter larger at 120 DPI (QB_SCREEN_DPI, where a runner has set the prefix's screen to it).
TEST(QuillbayStartupTest, TheWindowIsDrawnForTheScreensDpi) {
    wchar_t value[8] = {};
    const int dpi = GetEnvironmentVariableW(L"QB_SCREEN_DPI", value, 8) ? _wtoi(value) : 96;
    // A program that is not DPI-aware would be shown every window at 96 DPI.
    SetProcessDPIAware();
    CTestProcess start;
    ASSERT_TRUE(start.Start(Program(), L""));
    HWND frame = WaitForProcessWindow(start.Id(), kFrameClass, L"Quillbay", kWaitMs);
    ASSERT_NE(nullptr, frame);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(frame) != FALSE; }, kWaitMs));
    EXPECT_TRUE(GetWindowLongW(frame, GWL_EXSTYLE) & WS_EX_LAYERED);
    // Else Windows would draw the window at 96 DPI and stretch the picture (Wine never does).
    EXPECT_NE(std::string::npos, ProgramManifest().find(">true</dpiAware>"));
    RECT window = {};
    GetWindowRect(frame, &window);
    EXPECT_EQ(MulDiv(200, dpi, 96), window.right - window.left);
    EXPECT_EQ(MulDiv(266, dpi, 96), window.bottom - window.top);
    Photograph(frame, dpi == 96 ? L"quillbay_started" : L"quillbay_started_120dpi");
    PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_TRUE(start.Wait(kWaitMs));
}

TEST(QuillbayStartupTest, ASecondStartWhileTheFirstRunsHiddenForAutomationShowsWhy) {
    CTestProcess hidden;
    ASSERT_TRUE(hidden.Start(Program(), L"-Embedding"));
    // The hidden window exists once start-up is through.
    ASSERT_TRUE(WaitUntil([] { return FindWindowW(kFrameClass, nullptr) != nullptr; }, kWaitMs));
    HWND frame = FindWindowW(kFrameClass, nullptr);
    EXPECT_FALSE(IsWindowVisible(frame));

    CTestProcess second;
    ASSERT_TRUE(second.Start(Program(), L""));
    EXPECT_EQ(LanguageText(138), AnswerMessageBox(second));
    EXPECT_TRUE(second.Wait(kWaitMs));
    EXPECT_FALSE(IsWindowVisible(frame));
    // No client comes: the hidden instance ends by itself after its wait for one.
    EXPECT_TRUE(hidden.Wait(kWaitMs));
}

}  // namespace
