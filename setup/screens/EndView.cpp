#include "setup/screens/EndView.h"

#include "setup/resources/HalvixSetupStrings.h"
#include "setup/screens/ScreenResources.h"
#include "setup/wizard/SetupCodes.h"

namespace {

constexpr int kImageBottomGap = 15;

}  // namespace

CEndView::CEndView() : CScreenView(IDD_SCREEN_END, {{IDS_SETUP_BUTTON_FINISH, SetupEvent::kOk}}, IDB_SETUP_DONE) {}

void CEndView::BindControls() { text_.Attach(Hwnd(), IDC_SCREEN_TEXT); }

POINT CEndView::ImagePosition() const {
    return POINT{kMargin, ScreenClientSize(Layout()).cy - kImageBottomGap - kImageHeight};
}

void CEndView::PlaceTexts() { SetTexts(text_, {IDS_SETUP_END_RECOMMENDATION, IDS_SETUP_END_FINISH}, kMargin); }
