#include "setup/screens/CancelView.h"

#include "setup/resources/HalvixSetupStrings.h"
#include "setup/screens/ScreenResources.h"
#include "setup/wizard/SetupCodes.h"

CCancelView::CCancelView() : CScreenView(IDD_SCREEN_CANCEL, {{IDS_SETUP_BUTTON_FINISH, SetupEvent::kOk}}) {}

void CCancelView::BindControls() { text_.Attach(Hwnd(), IDC_SCREEN_TEXT); }

void CCancelView::PlaceTexts() { SetText(text_, IDS_SETUP_ABORTED, kMargin); }
