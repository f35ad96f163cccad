#include "setup/screens/RefreshProcessingView.h"

#include "setup/resources/HalvixSetupStrings.h"
#include "setup/screens/ScreenResources.h"
#include "setup/wizard/SetupCodes.h"

namespace {

constexpr int kCounterWidth = 130;
constexpr int kImageGap = 10;

}  // namespace

CRefreshProcessingView::CRefreshProcessingView()
    : CScreenView(IDD_SCREEN_REFRESH_PROCESSING, {{IDS_SETUP_BUTTON_CANCEL, SetupEvent::kCancel}},
                  IDB_SETUP_ANALYSING) {}

void CRefreshProcessingView::BindControls() {
    text_.Attach(Hwnd(), IDC_SCREEN_TEXT);
    counter_.Attach(Hwnd(), IDC_SCREEN_LINE);
    progress_.Attach(Hwnd(), IDC_SCREEN_PROGRESS);
}

POINT CRefreshProcessingView::ImagePosition() const {
    const int progressBottom = 3 * Layout().lineHeight + 51 + Layout().progressHeight;
    return POINT{kMargin, progressBottom + kImageGap};
}

void CRefreshProcessingView::PlaceTexts() {
    SetProcessingTexts(text_);
    const SIZE client = ScreenClientSize(Layout());
    const int lineHeight = Layout().lineHeight;
    SetWindowPos(counter_.Hwnd(), nullptr, client.cx - kMargin - kCounterWidth, 2 * lineHeight + 44, kCounterWidth,
                 lineHeight + 2, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(progress_.Hwnd(), nullptr, kMargin, 3 * lineHeight + 51, TextWidth(), Layout().progressHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CRefreshProcessingView::RegisterScreenControls() {
    RegisterControls(progress_.Hwnd() != nullptr ? &progress_ : nullptr,
                     counter_.Hwnd() != nullptr ? &counter_ : nullptr);
}
