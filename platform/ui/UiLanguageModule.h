#pragma once
// A language resource module: a DLL of texts looked up by string identifier. Windows built on
// templates keep a template's text wherever the module lacks the string.

#include <windows.h>

#include <string>

class CUiLanguageModule {
public:
    // The buffer size texts are read with, in characters (longer texts are cut to fit).
    static constexpr size_t kTextBufferChars = 512;

    CUiLanguageModule() = default;
    ~CUiLanguageModule() { Free(); }
    CUiLanguageModule(const CUiLanguageModule&) = delete;
    CUiLanguageModule& operator=(const CUiLanguageModule&) = delete;

    // Loads the module from a full path; frees one loaded before.
    bool Load(const std::wstring& path);
    void Free();
    HMODULE Handle() const { return module_; }
    bool IsLoaded() const { return module_ != nullptr; }

    // The string with that identifier; false (text untouched) when the module is null or lacks it.
    static bool LoadText(HMODULE module, UINT stringId, std::wstring& text,
                         size_t bufferChars = kTextBufferChars);
    // The string, or the fallback when the module does not give it.
    static std::wstring TextOr(HMODULE module, UINT stringId, const wchar_t* fallback);
    // Sets a window's text from the module; the window keeps its text when the string is missing.
    static bool ApplyToWindow(HMODULE module, HWND hwnd, UINT stringId);
    // The same for a control of a dialog.
    static bool ApplyToItem(HMODULE module, HWND dialog, int controlId, UINT stringId);

private:
    HMODULE module_ = nullptr;
};
