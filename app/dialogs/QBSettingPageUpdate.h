#pragma once
// Automatic update checks and their interval, and a check started at once.

#include "app/dialogs/QBSettingPage.h"

class CQBSettingPageUpdate : public CQBSettingPage {
public:
    CQBSettingPageUpdate(HMODULE languageModule, IQBSettingActions& actions);

    const CUiMessageMap& GetMessageMap() const override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    void OnAutoUpdateClicked();
    void OnUpdateNow();
    void EnableModes(bool enabled) const;

    IQBSettingActions& actions_;
};
