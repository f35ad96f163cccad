#include "app/dialogs/QBMovieConvertCautionDlg.h"

#include "app/dialogs/DialogResources.h"
#include "library/util/SettingNames.h"
#include "library/util/Settings.h"
#include "platform/ui/UiLanguageModule.h"

CQBMovieConvertCautionDlg::CQBMovieConvertCautionDlg(HMODULE languageModule)
    : CUiDialog(IDD_QB_MOVIE_CONVERT_CAUTION), languageModule_(languageModule) {}

BOOL CQBMovieConvertCautionDlg::OnInitDialog() {
    CUiLanguageModule::ApplyToItem(languageModule_, Hwnd(), IDC_QB_MESSAGE_TEXT, 243);
    CUiLanguageModule::ApplyToItem(languageModule_, Hwnd(), IDC_QB_CAUTION_DONT_ASK, 135);
    CUiLanguageModule::ApplyToItem(languageModule_, Hwnd(), IDOK, 244);
    CUiLanguageModule::ApplyToItem(languageModule_, Hwnd(), IDCANCEL, 245);
    return CUiDialog::OnInitDialog();
}

void CQBMovieConvertCautionDlg::DoDataExchange(CUiDataExchange& exchange) {
    exchange.Check(IDC_QB_CAUTION_DONT_ASK, dontAskAgain_);
}

void CQBMovieConvertCautionDlg::OnOK() {
    WriteSettingDword(settings::kMovieConvert, 1);
    UpdateData(TRUE);
    // Accepting conversion is never asked again, whatever the box says.
    WriteSettingDword(settings::kMovieConvertCaution, 1);
    EndDialog(IDOK);
}

void CQBMovieConvertCautionDlg::OnCancel() {
    WriteSettingDword(settings::kMovieConvert, 0);
    UpdateData(TRUE);
    if (dontAskAgain_ == BST_CHECKED) WriteSettingDword(settings::kMovieConvertCaution, 1);
    EndDialog(IDCANCEL);
}
