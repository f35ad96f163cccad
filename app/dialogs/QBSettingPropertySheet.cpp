#include "app/dialogs/QBSettingPropertySheet.h"

#include <commctrl.h>

CQBSettingPropertySheet::CQBSettingPropertySheet(const std::wstring& caption, HMODULE languageModule,
                                                 const Options& options, IQBSettingActions& actions)
    : CUiPropertySheet(caption),
      general_(languageModule, actions, options.hideAbout, options.carAudio),
      movieConvert_(languageModule),
      ravelin_(languageModule, options.analysisLocked),
      update_(languageModule, actions) {
    AddPage(&general_);
    AddPage(&movieConvert_);
    AddPage(&ravelin_);
    AddPage(&update_);
    if (options.carAudio) {
        refresh_ = std::make_unique<CQBSettingPageRefresh>(languageModule, actions, *this);
        AddPage(refresh_.get());
    }
    SetStartPage(0);
}

void CQBSettingPropertySheet::OnInitSheet() {
    // Stacked tabs: with five tabs in a narrow sheet the rows wrap rather than scroll.
    HWND tabs = reinterpret_cast<HWND>(SendMessageW(Hwnd(), PSM_GETTABCONTROL, 0, 0));
    if (tabs != nullptr) {
        SetWindowLongPtrW(tabs, GWL_STYLE, GetWindowLongPtrW(tabs, GWL_STYLE) | TCS_MULTILINE);
    }
}
