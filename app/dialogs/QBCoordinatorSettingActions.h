#pragma once
// What the settings pages start, done by the coordinator and the shell.

#include <functional>
#include <string>

#include "app/dialogs/QBSettingPage.h"

class CQBCommonManager;

class CQBCoordinatorSettingActions : public IQBSettingActions {
public:
    // showAbout may be empty: the About button then does nothing.
    CQBCoordinatorSettingActions(CQBCommonManager& coordinator, std::function<void(HWND)> showAbout);

    void ShowAbout(HWND owner) override;
    void StartDetector(const std::wstring& path) override;
    void LaunchUpdateChecker() override;
    bool LaunchSetup() override;

private:
    CQBCommonManager& coordinator_;
    std::function<void(HWND)> showAbout_;
};
