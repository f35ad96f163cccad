#include "app/dialogs/QBSettingPageRefresh.h"

#include "app/dialogs/DialogResources.h"
#include "platform/ui/UiLanguageModule.h"
#include "platform/ui/UiPropertySheet.h"

CQBSettingPageRefresh::CQBSettingPageRefresh(HMODULE languageModule, IQBSettingActions& actions,
                                             CUiPropertySheet& sheet)
    : CQBSettingPage(IDD_QB_SETTING_REFRESH, languageModule, 270), actions_(actions), sheet_(sheet) {}

const CUiMessageMap& CQBSettingPageRefresh::GetMessageMap() const {
    static const CUiMessageMap map(&CQBSettingPage::GetMessageMap(), {
        UiOnCommand(IDC_QB_REFRESH_START, &CQBSettingPageRefresh::OnRefresh),
    });
    return map;
}

BOOL CQBSettingPageRefresh::OnInitDialog() {
    // The explanation is long: this page's texts get a larger buffer than the others.
    for (const TextItem& item : {TextItem{IDC_QB_REFRESH_TEXT, 268}, TextItem{IDC_QB_REFRESH_START, 269}}) {
        std::wstring text;
        if (CUiLanguageModule::LoadText(LanguageModule(), item.stringId, text, 1024)) {
            SetDlgItemTextW(Hwnd(), item.control, text.c_str());
        }
    }
    return TRUE;
}

void CQBSettingPageRefresh::OnRefresh() {
    const std::wstring question = CUiLanguageModule::TextOr(LanguageModule(), 280, L"");
    wchar_t caption[256] = {};
    GetWindowTextW(GetParent(Hwnd()), caption, 256);
    const int answer = MessageBoxW(Hwnd(), question.c_str(), caption,
                                   MB_OKCANCEL | MB_ICONINFORMATION | MB_SETFOREGROUND | MB_TOPMOST);
    if (answer != IDOK) return;
    // The sheet stays open when the wizard does not start.
    if (actions_.LaunchSetup()) sheet_.EndSheet(kWizardStarted);
}
