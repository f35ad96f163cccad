#include "setup/screens/RegCompleteView.h"

#include "setup/resources/HalvixSetupStrings.h"
#include "setup/screens/ScreenResources.h"
#include "setup/wizard/SetupCodes.h"

CRegCompleteView::CRegCompleteView() : CScreenView(IDD_SCREEN_REG_COMPLETE, {{IDS_SETUP_BUTTON_OK, SetupEvent::kOk}}) {}

void CRegCompleteView::BindControls() { text_.Attach(Hwnd(), IDC_SCREEN_TEXT); }

void CRegCompleteView::PlaceTexts() { SetText(text_, IDS_SETUP_REGISTER_DONE, kMargin); }
