#include "setup/screens/DualActivationView.h"

#include "setup/resources/HalvixSetupStrings.h"
#include "setup/screens/ScreenResources.h"
#include "setup/wizard/SetupCodes.h"

CDualActivationView::CDualActivationView()
    : CScreenView(IDD_SCREEN_DUAL_ACTIVATION, {{IDS_SETUP_BUTTON_FINISH, SetupEvent::kOk}}) {}

void CDualActivationView::BindControls() { text_.Attach(Hwnd(), IDC_SCREEN_TEXT); }

void CDualActivationView::PlaceTexts() { SetText(text_, IDS_SETUP_ALREADY_RUNNING, kMargin); }
