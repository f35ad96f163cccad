#include "app/dialogs/QBSettingPageUpdate.h"

#include "app/dialogs/DialogResources.h"
#include "library/util/SettingNames.h"
#include "library/util/Settings.h"

CQBSettingPageUpdate::CQBSettingPageUpdate(HMODULE languageModule, IQBSettingActions& actions)
    : CQBSettingPage(IDD_QB_SETTING_UPDATE, languageModule, 248), actions_(actions) {}

const CUiMessageMap& CQBSettingPageUpdate::GetMessageMap() const {
    static const CUiMessageMap map(&CQBSettingPage::GetMessageMap(), {
        UiOnCommand(IDC_QB_AUTO_UPDATE, &CQBSettingPageUpdate::OnAutoUpdateClicked),
        UiOnCommand(IDC_QB_UPDATE_NOW, &CQBSettingPageUpdate::OnUpdateNow),
    });
    return map;
}

BOOL CQBSettingPageUpdate::OnInitDialog() {
    ApplyTexts({{IDC_QB_UPDATE_GROUP, 259}, {IDC_QB_UPDATE_NOW, 260}, {IDC_QB_UPDATE_NOTE, 261},
                {IDC_QB_AUTO_UPDATE, 265}, {IDC_QB_UPDATE_MODE_0, 262}, {IDC_QB_UPDATE_MODE_1, 263},
                {IDC_QB_UPDATE_MODE_2, 264}});
    SetRadioGroup(IDC_QB_UPDATE_MODE_0, 3, ReadSettingOr(settings::kAutoUpdateMode, 2));
    const bool autoUpdate = ReadSettingOr(settings::kAutoUpdate, 1) == 1;
    SetChecked(IDC_QB_AUTO_UPDATE, autoUpdate);
    EnableModes(autoUpdate);
    return TRUE;
}

void CQBSettingPageUpdate::OnOK() {
    WriteSettingDword(settings::kAutoUpdate, IsChecked(IDC_QB_AUTO_UPDATE) ? 1 : 0);
    WriteSettingDword(settings::kAutoUpdateMode, CheckedOffset(IDC_QB_UPDATE_MODE_0, 3));
}

void CQBSettingPageUpdate::OnAutoUpdateClicked() { EnableModes(IsChecked(IDC_QB_AUTO_UPDATE)); }

void CQBSettingPageUpdate::OnUpdateNow() { actions_.LaunchUpdateChecker(); }

void CQBSettingPageUpdate::EnableModes(bool enabled) const {
    EnableItems({IDC_QB_UPDATE_MODE_0, IDC_QB_UPDATE_MODE_1, IDC_QB_UPDATE_MODE_2}, enabled);
}
