#include "library/util/LanguageFolder.h"

namespace {

struct LanguageRow {
    LANGID language;
    const wchar_t* folder;
};

const LanguageRow kLanguageFolders[] = {
    {0x0407, L"DEU\\"}, {0x0807, L"DEU\\"}, {0x0C07, L"DEU\\"}, {0x1007, L"DEU\\"}, {0x1407, L"DEU\\"},
    {0x040C, L"FRA\\"}, {0x080C, L"FRA\\"}, {0x0C0C, L"FRA\\"}, {0x100C, L"FRA\\"}, {0x140C, L"FRA\\"},
    {0x180C, L"FRA\\"}, {0x0410, L"ITA\\"}, {0x0411, L"JPN\\"}, {0x0412, L"KOR\\"}, {0x0416, L"PTB\\"},
    {0x0419, L"RUS\\"}, {0x0804, L"CHS\\"}, {0x1004, L"CHS\\"}, {0x0404, L"CHT\\"}, {0x0C04, L"CHT\\"},
    {0x1404, L"CHT\\"}, {0x080A, L"ESP\\"}, {0x0C0A, L"ESP\\"}, {0x100A, L"ESP\\"}, {0x140A, L"ESP\\"},
    {0x180A, L"ESP\\"}, {0x1C0A, L"ESP\\"}, {0x200A, L"ESP\\"}, {0x240A, L"ESP\\"}, {0x280A, L"ESP\\"},
    {0x2C0A, L"ESP\\"}, {0x300A, L"ESP\\"}, {0x340A, L"ESP\\"}, {0x380A, L"ESP\\"}, {0x3C0A, L"ESP\\"},
    {0x400A, L"ESP\\"}, {0x440A, L"ESP\\"}, {0x480A, L"ESP\\"}, {0x4C0A, L"ESP\\"}, {0x500A, L"ESP\\"},
    {0x0816, L"PTG\\"},
};

const wchar_t kDefaultFolder[] = L"ENU\\";

}  // namespace

std::wstring GetLanguageFolderName(LANGID language) {
    for (const LanguageRow& row : kLanguageFolders) {
        if (row.language == language) return row.folder;
    }
    return kDefaultFolder;
}

bool LanguageUsesDecimalComma(LANGID language) {
    static const wchar_t* const kCommaFolders[] = {L"DEU\\", L"FRA\\", L"ITA\\", L"PTB\\",
                                                  L"RUS\\", L"ESP\\", L"PTG\\"};
    std::wstring folder = GetLanguageFolderName(language);
    for (const wchar_t* comma : kCommaFolders) {
        if (folder == comma) return true;
    }
    return false;
}
