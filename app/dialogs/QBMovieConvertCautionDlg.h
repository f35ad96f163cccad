#pragma once
// Asks, the first time a video needs converting, whether videos are converted for the player.
// The answer goes straight to the settings: "MovieConvert", and "MovieConvertCaution" = 1 once
// the question is not to come again.

#include <windows.h>

#include "platform/ui/UiDialog.h"

class CQBMovieConvertCautionDlg : public CUiDialog {
public:
    explicit CQBMovieConvertCautionDlg(HMODULE languageModule);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void DoDataExchange(CUiDataExchange& exchange) override;

private:
    HMODULE languageModule_;
    BOOL dontAskAgain_ = FALSE;
};
