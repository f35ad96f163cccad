#include "updater/ostrim/RegistryAccessor.h"

#include <mutex>
#include <vector>

#include "library/util/ScopedWin.h"

namespace {

std::mutex& SelectorLock() {
    static std::mutex lock;
    return lock;
}

int g_rootSelector = 0;

HKEY SelectedRoot() { return RegistryRootSelector() < 0 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

bool ReadFrom(HKEY root, const std::wstring& path, const wchar_t* name, std::wstring* value) {
    CScopedRegKey owned;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, owned.Receive()) != ERROR_SUCCESS) return false;
    const HKEY key = owned.Get();
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_SZ) return false;
    // The stored size may be odd or lack the terminating null: keep one spare character.
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>((text.size() - 1) * sizeof(wchar_t));
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return false;
    }
    value->assign(text.data());
    return true;
}

}  // namespace

bool SetRegistryRootSelector(int selector) {
    if (selector >= 1000) return false;
    std::lock_guard<std::mutex> hold(SelectorLock());
    g_rootSelector = selector;
    return true;
}

int RegistryRootSelector() {
    std::lock_guard<std::mutex> hold(SelectorLock());
    return g_rootSelector;
}

std::wstring CRegistryAccessor::KeyPath(const std::wstring& subKey) const {
    std::wstring path = L"Software\\" + m_company + L"\\" + m_product;
    if (!subKey.empty()) path += L"\\" + subKey;
    return path;
}

bool CRegistryAccessor::ReadString(const std::wstring& subKey, const wchar_t* name, std::wstring* value) const {
    const std::wstring path = KeyPath(subKey);
    const HKEY root = SelectedRoot();
    if (ReadFrom(root, path, name, value)) return true;
    return root != HKEY_LOCAL_MACHINE && ReadFrom(HKEY_LOCAL_MACHINE, path, name, value);
}

HRESULT CRegistryAccessor::WriteString(const std::wstring& subKey, const wchar_t* name, const std::wstring& value,
                                       bool flush) const {
    CScopedRegKey owned;
    // RegCreateKeyExW creates every missing level of the path.
    LONG error = RegCreateKeyExW(SelectedRoot(), KeyPath(subKey).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                 owned.Receive(), nullptr);
    if (error != ERROR_SUCCESS) return HRESULT_FROM_WIN32(error);
    const HKEY key = owned.Get();
    error = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (error == ERROR_SUCCESS && flush) error = RegFlushKey(key);
    return HRESULT_FROM_WIN32(error);
}
