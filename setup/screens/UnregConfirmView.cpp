#include "setup/screens/UnregConfirmView.h"

#include "setup/resources/HalvixSetupStrings.h"
#include "setup/screens/ScreenResources.h"
#include "setup/wizard/SetupCodes.h"

CUnregConfirmView::CUnregConfirmView()
    : CScreenView(IDD_SCREEN_UNREG_CONFIRM, {{IDS_SETUP_BUTTON_REFRESH, SetupEvent::kRefresh},
                                             {IDS_SETUP_BUTTON_DEREGISTER, SetupEvent::kDeregister},
                                             {IDS_SETUP_BUTTON_CANCEL, SetupEvent::kCancel}}) {}

void CUnregConfirmView::BindControls() { text_.Attach(Hwnd(), IDC_SCREEN_TEXT); }

void CUnregConfirmView::PlaceTexts() { SetUnregTexts(text_); }
