#pragma once
// An application whose texts come from a language module beside the program, named by string 1
// of the program itself.

#include <windows.h>

#include <string>

#include "platform/ui/UiApp.h"
#include "platform/ui/UiLanguageModule.h"

class CWinAppMultiLang : public CUiApp {
public:
    // Non-zero when the language module is loaded; the title then comes from it.
    BOOL InitLanguage();
    // The program's folder with a trailing backslash.
    static std::wstring GetModuleFolder();
    BOOL LoadResourceDll(const std::wstring& folder);
    int ExitInstance() override;

    HMODULE ResourceHandle() const { return m_resources.Handle(); }
    const std::wstring& AppName() const { return m_appName; }

private:
    CUiLanguageModule m_resources;
    std::wstring m_appName;
};
