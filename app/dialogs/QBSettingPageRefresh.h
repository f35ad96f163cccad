#pragma once
// Starts the setup wizard to refresh the player's mood data; the sheet then ends with 5.

#include "app/dialogs/QBSettingPage.h"

class CUiPropertySheet;

class CQBSettingPageRefresh : public CQBSettingPage {
public:
    // The sheet's result when the wizard has started.
    static constexpr INT_PTR kWizardStarted = 5;

    CQBSettingPageRefresh(HMODULE languageModule, IQBSettingActions& actions, CUiPropertySheet& sheet);

    const CUiMessageMap& GetMessageMap() const override;

protected:
    BOOL OnInitDialog() override;

private:
    void OnRefresh();

    IQBSettingActions& actions_;
    CUiPropertySheet& sheet_;
};
