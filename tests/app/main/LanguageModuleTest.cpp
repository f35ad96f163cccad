// The language module carries every text in every language of the language-folder table (a
// language that lacks one reads it as empty), and the UI language picks the folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/main/LanguageChoice.h"
#include "library/util/ModuleFolder.h"

namespace {

// The length of one string in a language's table: strings live in blocks of sixteen counted texts.
int StringLength(HMODULE module, UINT id, LANGID language) {
    HRSRC block = FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    if (!block) return -1;
    HGLOBAL loaded = LoadResource(module, block);
    const WCHAR* entry = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
    if (!entry) return -1;
    const DWORD bytes = SizeofResource(module, block);
    const WCHAR* end = entry + bytes / sizeof(WCHAR);
    for (UINT index = 0; index < id % 16; ++index) {
        if (entry >= end) return -1;
        entry += 1 + *entry;
    }
    return entry < end ? *entry : -1;
}

TEST(LanguageModuleTest, EveryLanguageCarriesEveryEnglishText) {
    HMODULE module = LoadLibraryExW((GetModuleFolder() + L"Resources\\QuillbayResource.dll").c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    const LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    const LANGID kLanguages[] = {
        MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN),           MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH),
        MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN),         MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MODERN),
        MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE),   MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN),
        MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT),         MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED),
        MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL), MAKELANGID(LANG_KOREAN, SUBLANG_KOREAN),
        MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT),
    };
    // The identifiers start-up itself cannot do without.
    for (UINT id : {138u, 139u, 196u, 275u}) EXPECT_GT(StringLength(module, id, kEnglish), 0) << id;
    int englishTexts = 0;
    for (UINT id = 100; id < 300; ++id) {
        if (StringLength(module, id, kEnglish) <= 0) continue;
        ++englishTexts;
        for (LANGID language : kLanguages) {
            EXPECT_GT(StringLength(module, id, language), 0) << "string " << id << " language " << std::hex << language;
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
