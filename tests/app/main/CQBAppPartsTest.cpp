// The parts of start-up that need no second process: the command line, the language choice, the
// program's version text and the About box.

#include <gtest/gtest.h>

#include "app/main/CAboutDlg.h"
#include "app/main/CQBCommandLineInfo.h"
#include "app/main/FileVersion.h"
#include "app/main/LanguageChoice.h"
#include "app/main/resource.h"
#include "library/util/ModuleFolder.h"
#include "tests/support/UiTestThread.h"
#include "tests/support/WindowCapture.h"
#include "tests/support/WindowDriver.h"

namespace {

TEST(QBCommandLineInfoTest, OnlyTheFlagSMarksAStartByTheDetector) {
    const struct {
        const wchar_t* commandLine;
        bool byDetector;
        bool embedded;
        CUiCommandLineInfo::ShellCommand shellCommand;
    } kCases[] = {
        {L"Quillbay.exe", false, false, CUiCommandLineInfo::ShellCommand::kNone},
        {L"Quillbay.exe -s", true, false, CUiCommandLineInfo::ShellCommand::kNone},
        {L"Quillbay.exe /s", true, false, CUiCommandLineInfo::ShellCommand::kNone},
        {L"Quillbay.exe s", false, false, CUiCommandLineInfo::ShellCommand::kNone},
        {L"Quillbay.exe -S", false, false, CUiCommandLineInfo::ShellCommand::kNone},
        {L"Quillbay.exe -sync", false, false, CUiCommandLineInfo::ShellCommand::kNone},
        {L"Quillbay.exe -Embedding -s", true, true, CUiCommandLineInfo::ShellCommand::kNone},
        {L"Quillbay.exe -RegServer", false, false, CUiCommandLineInfo::ShellCommand::kRegServer},
        {L"Quillbay.exe /UnregServer -s", true, false, CUiCommandLineInfo::ShellCommand::kUnregServer},
    };
    for (const auto& c : kCases) {
        CQBCommandLineInfo info;
        info.ParseCommandLine(c.commandLine);
        const std::string line(c.commandLine, c.commandLine + wcslen(c.commandLine));
        EXPECT_EQ(c.byDetector, info.m_bStartedByDetector) << line;
        EXPECT_EQ(c.embedded, info.runEmbedded) << line;
        EXPECT_EQ(c.shellCommand, info.shellCommand) << line;
    }
}

TEST(LanguageChoiceTest, FolderAndLayoutFollowTheExactUILanguage) {
    const struct {
        LANGID language;
        const wchar_t* folder;
        bool latin;
        bool longCaptions;
        bool carAudio;
    } kCases[] = {
        {0x0409, L"ENU", true, false, true},  {0x040A, L"ENU", true, false, true},
        {0x0C0A, L"ESP", true, true, true},   {0x500A, L"ESP", true, true, true},
        {0x0411, L"JPN", false, false, false}, {0x0412, L"KOR", false, false, true},
        {0x0804, L"CHS", false, false, true}, {0x1404, L"CHT", false, false, true},
        {0x0407, L"DEU", true, false, true},  {0x180C, L"FRA", true, false, true},
        {0x0410, L"ITA", true, false, true},  {0x0416, L"PTB", true, true, true},
        {0x0816, L"PTG", true, true, true},   {0x0419, L"RUS", true, true, true},
        {0x0413, L"ENU", true, false, true},  {0x0000, L"ENU", true, false, true},
    };
    for (const auto& c : kCases) {
        const LanguageChoice choice = ChooseLanguage(c.language);
        EXPECT_EQ(c.folder, choice.folder) << std::hex << c.language;
        EXPECT_EQ(c.latin, choice.latinScript) << std::hex << c.language;
        EXPECT_EQ(c.longCaptions, choice.longCaptions) << std::hex << c.language;
        EXPECT_EQ(c.carAudio, choice.carAudioAllowed) << std::hex << c.language;
    }
}

TEST(FileVersionTest, TheProgramsFileVersionComesFromItsVersionResource) {
    EXPECT_EQ(L"1.2.0.0", GetFileVersionString());
}

TEST(AboutDlgTest, ShowsTheNameAndVersionInTheLanguageModulesTexts) {
    HMODULE languageModule = LoadLibraryW((GetModuleFolder() + L"Resources\\QuillbayResource.dll").c_str());
    ASSERT_NE(nullptr, languageModule);
    CUiTestThread ui;
    ASSERT_TRUE(ui.Start([languageModule] { ShowAboutBox(languageModule, nullptr); }));
    HWND dialog = WaitForThreadWindow(ui.ThreadId(), L"#32770", L"About Quillbay...", 30000);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(L"Quillbay\r\nVersion 1.2.0.0", WindowText(GetDlgItem(dialog, IDC_ABOUT_NAME_VERSION)));
    CWindowCapture shot;
    ASSERT_TRUE(shot.Capture(dialog));
    EXPECT_TRUE(shot.SavePng(ScreenshotPath(L"quillbay_about_box")));
    EXPECT_FALSE(shot.LooksBlank());
    ASSERT_TRUE(PostClick(GetDlgItem(dialog, IDOK)));
    EXPECT_TRUE(ui.Join(30000));
    FreeLibrary(languageModule);
}

}  // namespace
