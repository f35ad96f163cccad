#include "updater/oplogsys/LogPaths.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

namespace opLogSys {
namespace {

std::wstring WithBackslash(std::wstring folder) {
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    return folder;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

const wchar_t* GetDefaultLogName() { return L"FennicMini_Application"; }

std::wstring GetModuleFolderPath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring GetLogConfigPath() { return GetModuleFolderPath() + GetDefaultLogName() + L".log.xml"; }

std::wstring GetLogFolder() {
    wchar_t appData[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, TRUE)) return std::wstring();
    const std::wstring folder = std::wstring(appData) + L"\\Tavrel Corporation\\Sorvik Client";
    SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    return folder + L"\\";
}

std::wstring GetErrorLogPath() {
    const std::wstring configPath = GetLogConfigPath();
    const bool configured = GetFileAttributesW(configPath.c_str()) != INVALID_FILE_ATTRIBUTES;
    return GetLogFolder() + (configured ? GetDefaultLogName() : L"SORVIK CLIENT") + L".log";
}

std::wstring ResolveFolder(const std::wstring& location) {
    const std::wstring programFolder = GetModuleFolderPath();
    if (location == L"desktop") {
        wchar_t desktop[MAX_PATH] = {};
        if (!SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOP, FALSE)) return programFolder;
        return WithBackslash(desktop);
    }
    if (location.empty() || location == L"current") return programFolder;
    if (location[0] == L'.') {
        wchar_t joined[MAX_PATH] = {};
        if (programFolder.size() >= MAX_PATH) return programFolder;
        programFolder.copy(joined, programFolder.size());
        if (!PathAppendW(joined, location.c_str())) return programFolder;
        if (!IsFolder(joined)) SHCreateDirectoryExW(nullptr, joined, nullptr);
        return IsFolder(joined) ? WithBackslash(joined) : programFolder;
    }
    // A longer path would have to be cut, and could then name another folder.
    if (location.size() >= MAX_PATH) return programFolder;
    std::wstring path = location;
    while (path.size() > 1 && path.back() == L'\\') path.pop_back();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return programFolder;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return WithBackslash(path);
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? programFolder : path.substr(0, slash + 1);
}

}  // namespace opLogSys
