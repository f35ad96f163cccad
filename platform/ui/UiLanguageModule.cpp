#include "platform/ui/UiLanguageModule.h"

#include <vector>

bool CUiLanguageModule::Load(const std::wstring& path) {
    Free();
    module_ = LoadLibraryW(path.c_str());
    return module_ != nullptr;
}

void CUiLanguageModule::Free() {
    if (module_ != nullptr) FreeLibrary(module_);
    module_ = nullptr;
}

bool CUiLanguageModule::LoadText(HMODULE module, UINT stringId, std::wstring& text, size_t bufferChars) {
    // A null module would make LoadStringW read the program's own table, which is not the language.
    if (module == nullptr || bufferChars == 0) return false;
    std::vector<wchar_t> buffer(bufferChars, L'\0');
    const int length = LoadStringW(module, stringId, buffer.data(), static_cast<int>(bufferChars));
    if (length <= 0) return false;
    text.assign(buffer.data(), static_cast<size_t>(length));
    return true;
}

std::wstring CUiLanguageModule::TextOr(HMODULE module, UINT stringId, const wchar_t* fallback) {
    std::wstring text;
    if (LoadText(module, stringId, text)) return text;
    return fallback != nullptr ? fallback : L"";
}

bool CUiLanguageModule::ApplyToWindow(HMODULE module, HWND hwnd, UINT stringId) {
    std::wstring text;
    if (hwnd == nullptr || !LoadText(module, stringId, text)) return false;
    return SetWindowTextW(hwnd, text.c_str()) != FALSE;
}

bool CUiLanguageModule::ApplyToItem(HMODULE module, HWND dialog, int controlId, UINT stringId) {
    return ApplyToWindow(module, GetDlgItem(dialog, controlId), stringId);
}
