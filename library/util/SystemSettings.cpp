#include "library/util/SystemSettings.h"

#include "library/util/RegistryAccess.h"

#include <cwchar>

bool WriteDetectorRunEntry(const std::wstring& path) {
    CScopedRegKey key;
    return registry::CreateMachineKeyForWrite(L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", &key) &&
           registry::WriteString(key.Get(), L"QuillbayDetector.exe", path);
}

std::wstring ReadPackageRootDir(const std::wstring& keyPath) {
    CScopedRegKey key;
    std::wstring root;
    if (!registry::OpenForRead(HKEY_LOCAL_MACHINE, keyPath.c_str(), &key) ||
        !registry::ReadString(key.Get(), L"PackageRootDir", &root)) {
        return std::wstring();
    }
    return root;
}

std::wstring ReadDunmarshJukeboxRoot() {
    return ReadPackageRootDir(L"SOFTWARE\\Tavrel Corporation\\Dunmarsh Jukebox\\Database");
}

std::wstring ReadBrightwellRoot() {
    return ReadPackageRootDir(L"SOFTWARE\\Tavrel Corporation\\Tavrel Brightwell\\Database");
}

std::wstring ReadMerrowlynRoot() {
    return ReadPackageRootDir(L"SOFTWARE\\Tavrel Corporation\\Pavolin Port\\Merrowlyn\\Database");
}

bool GetSystemProxy(bool* enabled, std::wstring* host, long* port) {
    if (enabled == nullptr || host == nullptr || port == nullptr) return false;
    *enabled = false;
    CScopedRegKey key;
    if (!registry::OpenForRead(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
                               &key)) {
        return false;
    }
    DWORD proxyEnable = 0;
    *enabled = registry::ReadDword(key.Get(), L"ProxyEnable", &proxyEnable) && proxyEnable != 0;
    std::wstring server;
    if (!registry::ReadString(key.Get(), L"ProxyServer", &server)) return false;
    size_t colon = server.find(L':');
    if (colon == std::wstring::npos) return false;
    *host = server.substr(0, colon);
    *port = wcstol(server.c_str() + colon + 1, nullptr, 10);
    return true;
}
