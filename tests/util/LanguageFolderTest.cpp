#include "library/util/LanguageFolder.h"
#include "library/util/ModuleFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(LanguageFolderTest, LanguagesMapToTheirFoldersAndCommaUse) {
    struct Case {
        LANGID language;
        const wchar_t* folder;
        bool decimalComma;
    };
    const Case cases[] = {
        {0x0409, L"ENU\\", false}, {0x0809, L"ENU\\", false}, {0x0407, L"DEU\\", true},
        {0x1407, L"DEU\\", true},  {0x040C, L"FRA\\", true},  {0x180C, L"FRA\\", true},
        {0x0410, L"ITA\\", true},  {0x0810, L"ENU\\", false}, {0x0411, L"JPN\\", false},
        {0x0412, L"KOR\\", false}, {0x0416, L"PTB\\", true},  {0x0419, L"RUS\\", true},
        {0x0804, L"CHS\\", false}, {0x1004, L"CHS\\", false}, {0x0404, L"CHT\\", false},
        {0x0C04, L"CHT\\", false}, {0x1404, L"CHT\\", false}, {0x080A, L"ESP\\", true},
        {0x500A, L"ESP\\", true},  {0x040A, L"ENU\\", false}, {0x0816, L"PTG\\", true},
        {0x0000, L"ENU\\", false}, {0xFFFF, L"ENU\\", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        EXPECT_EQ(c.folder, GetLanguageFolderName(c.language));
        EXPECT_EQ(c.decimalComma, LanguageUsesDecimalComma(c.language));
    }
}

TEST(LanguageFolderTest, LanguageFolderLiesBelowTheProgramsResources) {
    const std::wstring module = GetModuleFolder();
    ASSERT_FALSE(module.empty());
    EXPECT_EQ(L'\\', module.back());
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    EXPECT_EQ(0u, std::wstring(exe).find(module));
    EXPECT_EQ(module + L"Resources\\" + GetLanguageFolderName(GetUserDefaultUILanguage()), GetLanguageFolder());
}

}  // namespace
