#include "library/util/ModuleFolder.h"

#include "library/util/LanguageFolder.h"

#include <windows.h>

#include <vector>

std::wstring GetModuleFolder() {
    // Grow past MAX_PATH: a program installed below a long path must still find its resources.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(GetModuleHandleW(nullptr), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::wstring();
        if (length < buffer.size()) break;
        if (buffer.size() >= 32768) return std::wstring();
        buffer.resize(buffer.size() * 2);
    }
    std::wstring path(buffer.data());
    size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return std::wstring();
    return path.substr(0, slash + 1);
}

std::wstring GetLanguageFolder() {
    return GetModuleFolder() + L"Resources\\" + GetLanguageFolderName(GetUserDefaultUILanguage());
}
