// The language module carries every text in every language of the language-folder table (a
// language that lacks one reads it as empty), and the UI language picks the folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/main/LanguageChoice.h"
#include "library/util/ModuleFolder.h"
#include "tests/support/TableString.h"

namespace {

TEST(LanguageModuleTest, EveryLanguageCarriesEveryEnglishText) {
    HMODULE module = LoadLibraryExW((GetModuleFolder() + L"Resources\\QuillbayResource.dll").c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    const LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    // The identifiers start-up itself cannot do without.
    for (UINT id : {138u, 139u, 196u, 275u}) EXPECT_TRUE(ReadTableString(module, id, kEnglish).present) << id;
    int englishTexts = 0;
    for (UINT id = 100; id < 300; ++id) {
        if (!ReadTableString(module, id, kEnglish).present) continue;
        ++englishTexts;
        for (LANGID language : kQuillbayModuleLanguages) {
            EXPECT_TRUE(ReadTableString(module, id, language).present) << "string " << id << " language " << std::hex << language;
        }
    }
    EXPECT_GT(englishTexts, 100);
    FreeLibrary(module);
}

// Run by the ctest entries that set LANG: QB_EXPECTED_LANGUAGE_FOLDER names the folder Wine's UI
// language must select.
TEST(LanguageModuleTest, TheUserInterfaceLanguagePicksTheFolder) {
    const char* expected = std::getenv("QB_EXPECTED_LANGUAGE_FOLDER");
    if (!expected) GTEST_SKIP() << "run with LANG set by its own ctest entry";
    const std::wstring folder(expected, expected + strlen(expected));
    EXPECT_EQ(folder, ChooseLanguage(GetUserDefaultUILanguage()).folder);
    EXPECT_EQ(GetModuleFolder() + L"Resources\\" + folder + L"\\", GetLanguageFolder());
}

}  // namespace
