#pragma once
// The caution shown once before podcasts are transferred, with a box to stop showing it.

#include <windows.h>

#include "platform/ui/UiDialog.h"

class CPodcastCautionDlg : public CUiDialog {
public:
    static constexpr UINT kTemplateId = 139;
    static constexpr int kMessageId = 1012;
    static constexpr int kDontShowId = 1006;

    explicit CPodcastCautionDlg(HMODULE resourceModule);

    BOOL dontShowAgain = FALSE;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CUiDataExchange& exchange) override;

private:
    std::wstring Text(UINT id) const;

    HMODULE resourceModule_;
};
