#include "app/main/FileVersion.h"

#include <windows.h>

#include <cstdio>
#include <vector>

std::wstring GetFileVersionString() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) return std::wstring();
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(path, 0, size, block.data())) return std::wstring();
    struct LanguageAndCodePage {
        WORD language;
        WORD codePage;
    };
    LanguageAndCodePage* translations = nullptr;
    UINT translationBytes = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                        &translationBytes) ||
        translationBytes < sizeof(LanguageAndCodePage)) {
        return std::wstring();
    }
    wchar_t query[64];
    swprintf(query, 64, L"\\StringFileInfo\\%08x\\FileVersion",
             (static_cast<unsigned>(translations[0].language) << 16) | translations[0].codePage);
    wchar_t* value = nullptr;
    UINT valueChars = 0;
    if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &valueChars) || !value) {
        return std::wstring();
    }
    // The count includes the terminator when there is one; the text ends at the first.
    return std::wstring(value, wcsnlen(value, valueChars));
}
