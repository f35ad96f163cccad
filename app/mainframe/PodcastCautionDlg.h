#pragma once
// The caution shown once before podcasts are transferred, with a box to stop showing it. The
// template is the program's own; the texts come from the language module.

#include <windows.h>

#include "platform/ui/UiDialog.h"

class CPodcastCautionDlg : public CUiDialog {
public:
    static constexpr UINT kTemplateId = 139;
    static constexpr int kMessageId = 1012;
    static constexpr int kDontShowId = 1006;

    // Texts from the language module; the template from the program.
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
