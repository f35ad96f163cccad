#pragma once
// Start with the player (with the detector's logon entry) and, for car-audio players, cover art.

#include "app/dialogs/QBSettingPage.h"

class CQBSettingPageGeneral : public CQBSettingPage {
public:
    CQBSettingPageGeneral(HMODULE languageModule, IQBSettingActions& actions, bool hideAbout, bool carAudio);

    const CUiMessageMap& GetMessageMap() const override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    void OnAbout();

    IQBSettingActions& actions_;
    bool hideAbout_;
    bool carAudio_;
};
