#include "app/dialogs/QBCoordinatorSettingActions.h"

#include <windows.h>
#include <shellapi.h>

#include "app/coordinator/QBCommonManager.h"

CQBCoordinatorSettingActions::CQBCoordinatorSettingActions(CQBCommonManager& coordinator,
                                                           std::function<void(HWND)> showAbout)
    : coordinator_(coordinator), showAbout_(std::move(showAbout)) {}

void CQBCoordinatorSettingActions::ShowAbout(HWND owner) {
    if (showAbout_) showAbout_(owner);
}

void CQBCoordinatorSettingActions::StartDetector(const std::wstring& path) {
    SHELLEXECUTEINFOW start{};
    start.cbSize = sizeof(start);
    start.fMask = SEE_MASK_FLAG_NO_UI;
    start.lpVerb = L"open";
    start.lpFile = path.c_str();
    start.nShow = SW_SHOWNORMAL;
    ShellExecuteExW(&start);
}

// From the Update page the check is the user's own, never the automatic one.
void CQBCoordinatorSettingActions::LaunchUpdateChecker() { coordinator_.LaunchUpdateChecker(false); }

bool CQBCoordinatorSettingActions::LaunchSetup() { return coordinator_.LaunchSetup(); }
