#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/ui/UiLanguageModule.h"
#include "updater/ostrim/WinAppMultiLang.h"

namespace {

TEST(WinAppMultiLangTest, ModuleFolderIsTheProgramsFolder) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring expected(path);
    expected.erase(expected.find_last_of(L'\\') + 1);
    EXPECT_EQ(expected, CWinAppMultiLang::GetModuleFolder());
}

TEST(WinAppMultiLangTest, LoadsTheLanguageModuleNamedByTheProgram) {
    CWinAppMultiLang app;
    ASSERT_TRUE(app.InitLanguage());
    ASSERT_NE(nullptr, app.ResourceHandle());
    wchar_t modulePath[MAX_PATH] = {};
    GetModuleFileNameW(app.ResourceHandle(), modulePath, MAX_PATH);
    EXPECT_NE(nullptr, wcsstr(modulePath, L"FennicHelper_ApplicationRes.dll")) << modulePath;
    EXPECT_EQ(L"Quillbay Update Checker", app.AppName());
    // Every text the checker shows is there.
    for (UINT id : {102u, 1002u, 2001u, 2002u, 2003u, 2004u, 2005u, 2006u}) {
        std::wstring text;
        EXPECT_TRUE(CUiLanguageModule::LoadText(app.ResourceHandle(), id, text)) << id;
        EXPECT_FALSE(text.empty()) << id;
    }
    app.ExitInstance();
    EXPECT_EQ(nullptr, app.ResourceHandle());
}

TEST(WinAppMultiLangTest, MissingModuleFails) {
    CWinAppMultiLang app;
    EXPECT_FALSE(app.LoadResourceDll(L"C:\\no such folder\\"));
    EXPECT_EQ(nullptr, app.ResourceHandle());
    EXPECT_TRUE(app.AppName().empty());
}

}  // namespace
