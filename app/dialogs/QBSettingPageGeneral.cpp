#include "app/dialogs/QBSettingPageGeneral.h"

#include "app/dialogs/DialogResources.h"
#include "library/util/ModuleFolder.h"
#include "library/util/SettingNames.h"
#include "library/util/Settings.h"
#include "library/util/SystemSettings.h"

CQBSettingPageGeneral::CQBSettingPageGeneral(HMODULE languageModule, IQBSettingActions& actions, bool hideAbout,
                                             bool carAudio)
    : CQBSettingPage(IDD_QB_SETTING_GENERAL, languageModule, 246),
      actions_(actions),
      hideAbout_(hideAbout),
      carAudio_(carAudio) {}

const CUiMessageMap& CQBSettingPageGeneral::GetMessageMap() const {
    static const CUiMessageMap map(&CQBSettingPage::GetMessageMap(), {
        UiOnCommand(IDC_QB_ABOUT, &CQBSettingPageGeneral::OnAbout),
    });
    return map;
}

BOOL CQBSettingPageGeneral::OnInitDialog() {
    ApplyTexts({{IDC_QB_GENERAL_GROUP, 249}, {IDC_QB_AUTO_EXEC, 131}, {IDC_QB_ABOUT, 136},
                {IDC_QB_COVER_ART_GROUP, 276}, {IDC_QB_COVER_ART_ON, 277}, {IDC_QB_COVER_ART_OFF, 278},
                {IDC_QB_COVER_ART_NOTE, 279}});
    if (hideAbout_) ShowWindow(GetDlgItem(Hwnd(), IDC_QB_ABOUT), SW_HIDE);
    SetChecked(IDC_QB_AUTO_EXEC, ReadSettingOr(settings::kAutoExec, 0) == 1);
    if (carAudio_) {
        const bool coverArt = ReadSettingOr(settings::kGNCoverArt, 1) == 1;
        SetChecked(IDC_QB_COVER_ART_ON, coverArt);
        SetChecked(IDC_QB_COVER_ART_OFF, !coverArt);
    } else {
        for (int control : {IDC_QB_COVER_ART_GROUP, IDC_QB_COVER_ART_ON, IDC_QB_COVER_ART_OFF,
                            IDC_QB_COVER_ART_NOTE}) {
            ShowWindow(GetDlgItem(Hwnd(), control), SW_HIDE);
        }
    }
    return TRUE;
}

void CQBSettingPageGeneral::OnOK() {
    const bool autoExec = IsChecked(IDC_QB_AUTO_EXEC);
    WriteSettingDword(settings::kAutoExec, autoExec ? 1 : 0);
    // Turning the start off leaves the logon entry: the detector itself reads the setting.
    if (autoExec) {
        const std::wstring detector = GetModuleFolder() + L"QuillbayDetector.exe";
        WriteDetectorRunEntry(detector);
        actions_.StartDetector(detector);
    }
    if (carAudio_) WriteSettingDword(settings::kGNCoverArt, IsChecked(IDC_QB_COVER_ART_ON) ? 1 : 0);
}

void CQBSettingPageGeneral::OnAbout() { actions_.ShowAbout(Hwnd()); }
