#pragma once
// What the settings pages share: texts from the language module, and check boxes and radio
// groups that stand for DWORD settings values.

#include <windows.h>

#include <initializer_list>
#include <string>

#include "platform/ui/UiPropertyPage.h"

// What the pages start outside the sheet: the About box, the detector, the update checker and the
// wizard.
class IQBSettingActions {
public:
    virtual void ShowAbout(HWND owner) = 0;
    // Starts the detector at `path` now, as its logon entry would.
    virtual void StartDetector(const std::wstring& path) = 0;
    virtual void LaunchUpdateChecker() = 0;
    // True when the wizard has started.
    virtual bool LaunchSetup() = 0;

protected:
    ~IQBSettingActions() = default;
};

class CQBSettingPage : public CUiPropertyPage {
public:
    // The tab's text comes from the module (string tabTextId).
    CQBSettingPage(UINT templateId, HMODULE languageModule, UINT tabTextId);

protected:
    struct TextItem {
        int control;
        UINT stringId;
    };
    void ApplyTexts(std::initializer_list<TextItem> items) const;

    // Checks first + value; a value past the group leaves every button unchecked.
    void SetRadioGroup(int first, int count, DWORD value) const;
    // The offset of the checked button from the first; the last offset when none is checked.
    DWORD CheckedOffset(int first, int count) const;
    bool IsChecked(int control) const;
    void SetChecked(int control, bool checked) const;
    void EnableItems(std::initializer_list<int> controls, bool enabled) const;

    HMODULE LanguageModule() const { return languageModule_; }

private:
    HMODULE languageModule_;
};

// A DWORD setting: its value when found, else the default.
DWORD ReadSettingOr(const wchar_t* name, DWORD fallback);
