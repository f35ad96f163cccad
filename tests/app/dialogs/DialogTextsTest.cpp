// Every text the dialogs read is in the language module in every language it carries: a missing
// one would leave a control with its template's English (or an empty tab) in that language.

#include <gtest/gtest.h>

#include <windows.h>

#include "library/util/ModuleFolder.h"

namespace {

// The length of one string in one language's table (-1 when the table or the string is missing):
// strings live in blocks of sixteen counted texts.
int StringLength(HMODULE module, UINT id, LANGID language) {
    HRSRC block = FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    if (!block) return -1;
    HGLOBAL loaded = LoadResource(module, block);
    const WCHAR* entry = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
    if (!entry) return -1;
    const WCHAR* end = entry + SizeofResource(module, block) / sizeof(WCHAR);
    for (UINT index = 0; index < id % 16; ++index) {
        if (entry >= end) return -1;
        entry += 1 + *entry;
    }
    return entry < end ? *entry : -1;
}

const UINT kDialogTexts[] = {
    // Delete dialog.
    154, 155, 156, 157, 158, 159, 160, 161, 190, 235, 236,
    // Settings sheet: caption, tabs, then the General, Video, Analysis, Update and Refresh pages.
    120, 246, 267, 247, 248, 270, 249, 131, 136, 276, 277, 278, 279, 250, 266, 251, 252, 253, 254, 255, 256,
    257, 258, 272, 122, 123, 124, 128, 129, 130, 259, 260, 261, 262, 263, 264, 265, 268, 269, 280,
    // Sync selection and its presets' names.
    132, 133, 139, 218, 220, 221, 222, 223, 226, 231, 232, 210, 211, 212, 213, 214, 215, 233, 234,
    // Movie-conversion caution.
    135, 243, 244, 245,
};

const LANGID kLanguages[] = {
    MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),      MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN),
    MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH),           MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN),
    MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MODERN),  MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE),
    MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN), MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT),
    MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL),
    MAKELANGID(LANG_KOREAN, SUBLANG_KOREAN),           MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT),
};

}  // namespace

TEST(DialogTextsTest, EveryLanguageCarriesEveryDialogText) {
    HMODULE module = LoadLibraryExW((GetModuleFolder() + L"Resources\\QuillbayResource.dll").c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    for (LANGID language : kLanguages) {
        for (UINT id : kDialogTexts) {
            EXPECT_GT(StringLength(module, id, language), 0) << "string " << id << " language " << std::hex << language;
        }
    }
    FreeLibrary(module);
}
