#include "setup/screens/ErrorView.h"

#include "setup/resources/HalvixSetupStrings.h"
#include "setup/screens/ScreenResources.h"
#include "setup/wizard/SetupCodes.h"

CErrorView::CErrorView() : CScreenView(IDD_SCREEN_ERROR, {{IDS_SETUP_BUTTON_FINISH, SetupEvent::kOk}}) {}

void CErrorView::BindControls() {
    text_.Attach(Hwnd(), IDC_SCREEN_TEXT);
    detailLine_.Attach(Hwnd(), IDC_SCREEN_LINE);
}

void CErrorView::PlaceTexts() {
    const int bottom = SetText(text_, IDS_SETUP_ERROR, kMargin);
    // Empty until a failure's description arrives; a system message may take a few lines.
    PlaceText(detailLine_, L"", bottom + kLineGap);
    SetWindowPos(detailLine_.Hwnd(), nullptr, 0, 0, TextWidth(), ButtonTop() - kMargin - bottom - kLineGap,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CErrorView::RegisterScreenControls() {
    RegisterControls(detailLine_.Hwnd() != nullptr ? &detailLine_ : nullptr, nullptr);
}
