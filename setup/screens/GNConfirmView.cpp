#include "setup/screens/GNConfirmView.h"

#include "setup/resources/HalvixSetupStrings.h"
#include "setup/screens/ScreenResources.h"
#include "setup/wizard/SetupCodes.h"

CGNConfirmView::CGNConfirmView()
    : CScreenView(IDD_SCREEN_ARTWORK_CONFIRM,
                  {{IDS_SETUP_BUTTON_YES, SetupEvent::kYes}, {IDS_SETUP_BUTTON_NO, SetupEvent::kNo}}) {}

void CGNConfirmView::BindControls() { text_.Attach(Hwnd(), IDC_SCREEN_TEXT); }

void CGNConfirmView::PlaceTexts() { SetTexts(text_, {IDS_SETUP_ARTWORK_QUESTION, IDS_SETUP_ARTWORK_SOURCE}, kMargin); }
