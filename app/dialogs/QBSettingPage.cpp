#include "app/dialogs/QBSettingPage.h"

#include "library/util/Settings.h"
#include "platform/ui/UiLanguageModule.h"

CQBSettingPage::CQBSettingPage(UINT templateId, HMODULE languageModule, UINT tabTextId)
    : CUiPropertyPage(templateId), languageModule_(languageModule) {
    std::wstring title;
    if (CUiLanguageModule::LoadText(languageModule, tabTextId, title)) SetTitle(title);
}

void CQBSettingPage::ApplyTexts(std::initializer_list<TextItem> items) const {
    for (const TextItem& item : items) {
        CUiLanguageModule::ApplyToItem(languageModule_, Hwnd(), item.control, item.stringId);
    }
}

void CQBSettingPage::SetRadioGroup(int first, int count, DWORD value) const {
    for (int i = 0; i < count; ++i) SetChecked(first + i, static_cast<DWORD>(i) == value);
}

DWORD CQBSettingPage::CheckedOffset(int first, int count) const {
    for (int i = 0; i < count; ++i) {
        if (IsChecked(first + i)) return static_cast<DWORD>(i);
    }
    // No button checked: the offset wraps below zero and is clamped to the last one.
    return static_cast<DWORD>(count - 1);
}

bool CQBSettingPage::IsChecked(int control) const {
    return IsDlgButtonChecked(Hwnd(), control) == BST_CHECKED;
}

void CQBSettingPage::SetChecked(int control, bool checked) const {
    CheckDlgButton(Hwnd(), control, checked ? BST_CHECKED : BST_UNCHECKED);
}

void CQBSettingPage::EnableItems(std::initializer_list<int> controls, bool enabled) const {
    for (int control : controls) EnableWindow(GetDlgItem(Hwnd(), control), enabled ? TRUE : FALSE);
}

DWORD ReadSettingOr(const wchar_t* name, DWORD fallback) {
    DWORD value = 0;
    return ReadSetting(name, &value) ? value : fallback;
}
