#include "setup/screens/QbconvExistsView.h"

#include "setup/resources/HalvixSetupStrings.h"
#include "setup/screens/ScreenResources.h"
#include "setup/wizard/SetupCodes.h"

CQbconvExistsView::CQbconvExistsView()
    : CScreenView(IDD_SCREEN_QUILLBAY_RUNNING, {{IDS_SETUP_BUTTON_FINISH, SetupEvent::kOk}}) {}

void CQbconvExistsView::BindControls() { text_.Attach(Hwnd(), IDC_SCREEN_TEXT); }

void CQbconvExistsView::PlaceTexts() { SetText(text_, IDS_SETUP_MAIN_PROGRAM_RUNS, kMargin); }
