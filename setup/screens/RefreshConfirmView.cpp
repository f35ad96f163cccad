#include "setup/screens/RefreshConfirmView.h"

#include "setup/resources/HalvixSetupStrings.h"
#include "setup/screens/ScreenResources.h"
#include "setup/wizard/SetupCodes.h"

CRefreshConfirmView::CRefreshConfirmView()
    : CScreenView(IDD_SCREEN_REFRESH_CONFIRM,
                  {{IDS_SETUP_BUTTON_YES, SetupEvent::kYes}, {IDS_SETUP_BUTTON_NO, SetupEvent::kNo}}) {}

void CRefreshConfirmView::BindControls() { text_.Attach(Hwnd(), IDC_SCREEN_TEXT); }

void CRefreshConfirmView::PlaceTexts() {
    SetTexts(text_, {IDS_SETUP_REFRESH_QUESTION, IDS_SETUP_REFRESH_NOTE}, kMargin);
}
