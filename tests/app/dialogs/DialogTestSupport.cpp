#include "tests/app/dialogs/DialogTestSupport.h"

#include "library/content/GuidString.h"
#include "library/util/DataFolders.h"
#include "library/util/FileSystem.h"
#include "library/util/ModuleFolder.h"
#include "library/util/Settings.h"
#include "tests/support/WindowCapture.h"
#include "tests/support/WindowDriver.h"

CScratchPlayer::CScratchPlayer() {
    std::wstring guid;
    if (!registry_.IsActive() || !CreateGuidString(&guid)) return;
    if (!SetCurrentDevId(L"QbDialogsTest-" + guid)) return;
    deviceId_ = L"QbDialogsTest-" + guid;
    dataFolder_ = GetDeviceDataFolder();
}

CScratchPlayer::~CScratchPlayer() {
    if (!deviceId_.empty()) DeleteFolderTree(AddLongPathPrefix(dataFolder_));
}

bool ReadUserSetting(const wchar_t* name, DWORD* value) {
    DWORD size = sizeof(*value);
    return RegGetValueW(HKEY_CURRENT_USER, L"Software\\Tavrel Corporation\\Quillbay", name, RRF_RT_REG_DWORD,
                        nullptr, value, &size) == ERROR_SUCCESS;
}

HMODULE TestLanguageModule() {
    static HMODULE module = LoadLibraryW((GetModuleFolder() + L"Resources\\QuillbayResource.dll").c_str());
    return module;
}

void UseLanguage(LANGID language) {
    SetThreadUILanguage(language);
    SetThreadLocale(MAKELCID(language, SORT_DEFAULT));
}

const wchar_t* LanguageName(LANGID language) { return language == 0x0411 ? L"Japanese" : L"English"; }

bool Photograph(HWND window, const std::wstring& name) {
    // Controls just shown or changed may not have painted yet; the redraw runs on the window's
    // thread and returns once it has painted.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    CWindowCapture shot;
    if (!shot.Capture(window)) return false;
    shot.SavePng(ScreenshotPath(name));
    return !shot.LooksBlank();
}

namespace {

BOOL CALLBACK FindOwnedDialog(HWND hwnd, LPARAM found) {
    wchar_t className[16] = {};
    GetClassNameW(hwnd, className, 16);
    if (IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) != nullptr && wcscmp(className, L"#32770") == 0) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND WaitForOwnedDialog(DWORD threadId, DWORD timeoutMs) {
    HWND box = nullptr;
    WaitUntil(
        [&] {
            EnumThreadWindows(threadId, FindOwnedDialog, reinterpret_cast<LPARAM>(&box));
            return box != nullptr;
        },
        timeoutMs);
    return box;
}
