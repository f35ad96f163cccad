#include "updater/ostrim/WinAppMultiLang.h"

#include <vector>

#include "updater/ostrim/OstrimResources.h"

BOOL CWinAppMultiLang::InitLanguage() {
    if (!LoadResourceDll(GetModuleFolder())) return FALSE;
    std::wstring title;
    if (CUiLanguageModule::LoadText(m_resources.Handle(), IDS_APPLICATION_TITLE, title)) m_appName = title;
    return TRUE;
}

std::wstring CWinAppMultiLang::GetModuleFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD length = 0;
    for (;;) {
        length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) break;
        buffer.resize(buffer.size() * 2);
    }
    std::wstring path(buffer.data(), length);
    // Cut at the last backslash only: a dot in a folder name must not shorten the folder.
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

BOOL CWinAppMultiLang::LoadResourceDll(const std::wstring& folder) {
    m_resources.Free();
    std::wstring name;
    if (!CUiLanguageModule::LoadText(GetModuleHandleW(nullptr), IDS_RESOURCE_MODULE, name) || name.empty()) {
        return FALSE;
    }
    return m_resources.Load(folder + name) ? TRUE : FALSE;
}

int CWinAppMultiLang::ExitInstance() {
    m_resources.Free();
    return CUiApp::ExitInstance();
}
