#pragma once
// The analysis mode for mood channels; locked (shown as mode 1, nothing written) while a
// car-audio player is connected.

#include "app/dialogs/QBSettingPage.h"
#include "platform/ui/UiImage.h"

class CQBSettingPageRavelin : public CQBSettingPage {
public:
    CQBSettingPageRavelin(HMODULE languageModule, bool analysisLocked);

    const CUiMessageMap& GetMessageMap() const override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    void OnPaint();

    bool analysisLocked_;
    CUiImage picture_;
};
