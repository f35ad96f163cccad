#include "library/util/DataFolders.h"

#include "library/util/FileSystem.h"
#include "library/util/Settings.h"
#include "library/util/ShellFolders.h"

#include <shlobj.h>

namespace {

const wchar_t kProductFolder[] = L"\\Tavrel Corporation\\Quillbay\\";

}  // namespace

std::wstring GetUserDataFolder() { return GetShellFolder(CSIDL_APPDATA) + kProductFolder; }

bool CreateUserDataFolder() { return CreateFolderTree(GetUserDataFolder()); }

std::wstring GetDeviceDataFolder() {
    const std::wstring id = GetCurrentDevId();
    if (id.empty()) return GetUserDataFolder();
    return GetUserDataFolder() + id + L"\\";
}

bool CreateDeviceDataFolder() { return CreateFolderTree(GetDeviceDataFolder()); }

std::wstring GetCommonDataFolder() { return GetShellFolder(CSIDL_COMMON_APPDATA) + kProductFolder; }

void ClearUserDataFolder(bool recurse) {
    std::wstring folder = GetUserDataFolder();
    folder.pop_back();
    DeleteCachedFiles(folder, true, recurse);
}
