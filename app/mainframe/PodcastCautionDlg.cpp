#include "app/mainframe/PodcastCautionDlg.h"

#include "library/util/Settings.h"

CPodcastCautionDlg::CPodcastCautionDlg(HMODULE resourceModule)
    : CUiDialog(kTemplateId, resourceModule), resourceModule_(resourceModule) {}

std::wstring CPodcastCautionDlg::Text(UINT id) const {
    wchar_t buffer[512] = {};
    LoadStringW(resourceModule_, id, buffer, 512);
    return buffer;
}

BOOL CPodcastCautionDlg::OnInitDialog() {
    const BOOL result = CUiDialog::OnInitDialog();
    SetDlgItemTextW(Hwnd(), kMessageId, Text(134).c_str());
    SetDlgItemTextW(Hwnd(), kDontShowId, Text(135).c_str());
    SetDlgItemTextW(Hwnd(), IDOK, Text(132).c_str());
    return result;
}

void CPodcastCautionDlg::DoDataExchange(CUiDataExchange& exchange) {
    exchange.Check(kDontShowId, dontShowAgain);
}

void CPodcastCautionDlg::OnOK() {
    UpdateData(TRUE);
    if (dontShowAgain) {
        WriteSettingDword(L"PodcastCaution", 1);
    }
    EndDialog(IDOK);
}
