#include "setup/screens/ScreenFont.h"

#include <cwchar>

namespace {

// The face each script's own systems show their dialogs in; where it is missing the character
// set still leads the mapper to a font of the script.
const wchar_t* FaceForCharset(BYTE charset) {
    switch (charset) {
    case SHIFTJIS_CHARSET: return L"MS UI Gothic";
    case CHINESEBIG5_CHARSET: return L"PMingLiU";
    case GB2312_CHARSET: return L"SimSun";
    case HANGUL_CHARSET: return L"Gulim";
    default: return nullptr;
    }
}

bool CharsetOfLanguage(LANGID language, BYTE& charset) {
    wchar_t codePage[8] = {};
    if (GetLocaleInfoW(MAKELCID(language, SORT_DEFAULT), LOCALE_IDEFAULTANSICODEPAGE, codePage, 8) == 0) return false;
    CHARSETINFO info{};
    const UINT_PTR page = static_cast<UINT_PTR>(wcstoul(codePage, nullptr, 10));
    if (!TranslateCharsetInfo(reinterpret_cast<DWORD*>(page), &info, TCI_SRCCODEPAGE)) return false;
    charset = static_cast<BYTE>(info.ciCharset);
    return true;
}

struct LanguageSearch {
    HRSRC found;
    LANGID language;
};

BOOL CALLBACK MatchLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR context) {
    auto* search = reinterpret_cast<LanguageSearch*>(context);
    if (FindResourceExW(module, type, name, language) != search->found) return TRUE;
    search->language = language;
    return FALSE;
}

}  // namespace

LANGID LanguageOfStrings(HMODULE module, UINT stringId) {
    if (module == nullptr) return 0;
    const LPCWSTR block = MAKEINTRESOURCEW(stringId / 16 + 1);
    LanguageSearch search = {FindResourceW(module, block, RT_STRING), 0};
    if (search.found == nullptr) return 0;
    EnumResourceLanguagesW(module, RT_STRING, block, MatchLanguage, reinterpret_cast<LONG_PTR>(&search));
    return search.language;
}

HFONT CreateFontForLanguage(HFONT dialogFont, LANGID language) {
    LOGFONTW font{};
    if (dialogFont == nullptr || GetObjectW(dialogFont, sizeof(font), &font) == 0) return nullptr;
    BYTE charset = 0;
    if (!CharsetOfLanguage(language, charset) || charset == ANSI_CHARSET || charset == font.lfCharSet) return nullptr;
    font.lfCharSet = charset;
    if (const wchar_t* face = FaceForCharset(charset)) wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}
