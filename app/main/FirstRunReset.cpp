#include "app/main/FirstRunReset.h"

#include <windows.h>

#include "library/util/FileSystem.h"
#include "library/util/Settings.h"

namespace {

const wchar_t kSettingsKey[] = L"Software\\Tavrel Corporation\\Quillbay";

}  // namespace

bool ResetUserAtFirstRun(const std::wstring& dataFolder) {
    if (IsFirstRunDoneForUser()) return false;
    RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKey);
    // Marked after the deletion: where the machine's key is closed to this user, the mark lives
    // in the very key just deleted.
    MarkFirstRunDoneForUser();
    DeleteCachedFiles(dataFolder, true, true);
    return true;
}
