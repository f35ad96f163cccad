#include "installer/kindrel/LeadLauncherApp.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include "installer/kindrel/RefusalText.h"

bool IsSupportedOs() {
    OSVERSIONINFOA version = {};
    static_assert(sizeof(version) == 148, "OSVERSIONINFOA is 148 bytes");
    version.dwOSVersionInfoSize = sizeof(version);
    // The version the program is told is the one to judge: that is what compatibility settings set.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&version)) return false;
#pragma GCC diagnostic pop
    return version.dwPlatformId * 10000 + version.dwMajorVersion * 100 + version.dwMinorVersion > 20500;
}

std::string GetModuleDirectory() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    std::string folder(path, length);
    const size_t slash = folder.find_last_of('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

bool RunLauncher() {
    const std::string folder = GetModuleDirectory();
    if (folder.empty()) return false;
    const std::string launcher = folder + "Launcher.exe";
    if (!PathFileExistsA(launcher.c_str())) return false;
    SHELLEXECUTEINFOA execute = {};
    static_assert(sizeof(void*) != 4 || sizeof(execute) == 60, "the 32-bit structure is 60 bytes");
    execute.cbSize = sizeof(execute);
    execute.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOCLOSEPROCESS;
    execute.lpFile = launcher.c_str();
    execute.lpParameters = "";
    execute.nShow = SW_SHOW;
    // The launcher's process handle is left to the end of this process.
    return ShellExecuteExA(&execute) != FALSE;
}

int CLeadLauncherApp::InitInstance() {
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = 0xFF;
    InitCommonControlsEx(&controls);
    if (IsSupportedOs()) {
        RunLauncher();
    } else {
        MessageBoxA(nullptr, kRefusalTextCp932, "Software Setup", MB_ICONERROR);
    }
    return FALSE;
}
