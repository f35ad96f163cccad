// Every text the dialogs read is in the language module in every language it carries: a missing
// one would leave a control with its template's English (or an empty tab) in that language.

#include <gtest/gtest.h>

#include <windows.h>

#include "library/util/ModuleFolder.h"
#include "tests/support/TableString.h"

namespace {

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


}  // namespace

TEST(DialogTextsTest, EveryLanguageCarriesEveryDialogText) {
    HMODULE module = LoadLibraryExW((GetModuleFolder() + L"Resources\\QuillbayResource.dll").c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    for (LANGID language : kQuillbayModuleLanguages) {
        for (UINT id : kDialogTexts) {
            EXPECT_TRUE(ReadTableString(module, id, language).present) << "string " << id << " language " << std::hex << language;
        }
    }
    FreeLibrary(module);
}
