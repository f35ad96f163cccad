#include "app/mainframe/PodcastCautionDlg.h"

#include <utility>

#include "library/util/SettingNames.h"
#include "library/util/Settings.h"

CPodcastCautionDlg::CPodcastCautionDlg(HMODULE resourceModule)
    : CUiDialog(kTemplateId), resourceModule_(resourceModule) {}

std::wstring CPodcastCautionDlg::Text(UINT id) const {
    wchar_t buffer[512] = {};
    LoadStringW(resourceModule_, id, buffer, 512);
    return buffer;
}

BOOL CPodcastCautionDlg::OnInitDialog() {
    const BOOL result = CUiDialog::OnInitDialog();
    // A text the language module lacks leaves the template's own.
    for (const auto& [control, text] : {std::pair<int, UINT>{kMessageId, 134}, {kDontShowId, 135}, {IDOK, 132}}) {
        const std::wstring loaded = Text(text);
        if (!loaded.empty()) {
            SetDlgItemTextW(Hwnd(), control, loaded.c_str());
        }
    }
    return result;
}

void CPodcastCautionDlg::DoDataExchange(CUiDataExchange& exchange) {
    exchange.Check(kDontShowId, dontShowAgain);
}

void CPodcastCautionDlg::OnOK() {
    UpdateData(TRUE);
    if (dontShowAgain) {
        WriteSettingDword(settings::kPodcastCaution, 1);
    }
    EndDialog(IDOK);
}
