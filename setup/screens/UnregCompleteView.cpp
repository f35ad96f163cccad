#include "setup/screens/UnregCompleteView.h"

#include "setup/resources/HalvixSetupStrings.h"
#include "setup/screens/ScreenResources.h"
#include "setup/wizard/SetupCodes.h"

CUnregCompleteView::CUnregCompleteView()
    : CScreenView(IDD_SCREEN_UNREG_COMPLETE, {{IDS_SETUP_BUTTON_FINISH, SetupEvent::kOk}}) {}

void CUnregCompleteView::BindControls() { text_.Attach(Hwnd(), IDC_SCREEN_TEXT); }

void CUnregCompleteView::PlaceTexts() { SetText(text_, IDS_SETUP_DEREGISTER_DONE, kMargin); }
