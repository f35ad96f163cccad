#include "setup/screens/UserConfirmView.h"

#include "setup/resources/HalvixSetupStrings.h"
#include "setup/screens/ScreenResources.h"
#include "setup/wizard/SetupCodes.h"

CUserConfirmView::CUserConfirmView()
    : CScreenView(IDD_SCREEN_USER_CONFIRM,
                  {{IDS_SETUP_BUTTON_OK, SetupEvent::kOk}, {IDS_SETUP_BUTTON_CANCEL, SetupEvent::kCancel}}) {}

void CUserConfirmView::BindControls() { text_.Attach(Hwnd(), IDC_SCREEN_TEXT); }

void CUserConfirmView::PlaceTexts() {
    SetText(text_, IDS_SETUP_OWN_BRAND_CAUTION, kMargin);
    // The frame later adds the conversion note below the caution: the static reaches down to the
    // buttons so the longer text fits too.
    SetWindowPos(text_.Hwnd(), nullptr, 0, 0, TextWidth(), ButtonTop() - 2 * kMargin,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CUserConfirmView::RegisterScreenControls() {
    RegisterControls(text_.Hwnd() != nullptr ? &text_ : nullptr, nullptr);
}
