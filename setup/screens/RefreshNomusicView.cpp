#include "setup/screens/RefreshNomusicView.h"

#include "setup/resources/HalvixSetupStrings.h"
#include "setup/screens/ScreenResources.h"
#include "setup/wizard/SetupCodes.h"

CRefreshNomusicView::CRefreshNomusicView()
    : CScreenView(IDD_SCREEN_REFRESH_NOMUSIC, {{IDS_SETUP_BUTTON_OK, SetupEvent::kOk}}) {}

void CRefreshNomusicView::BindControls() { text_.Attach(Hwnd(), IDC_SCREEN_TEXT); }

void CRefreshNomusicView::PlaceTexts() { SetTexts(text_, {IDS_SETUP_NO_SONGS, IDS_SETUP_NO_SONGS_FINISH}, kMargin); }
