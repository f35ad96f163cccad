#include "setup/screens/RefreshProcessingView.h"

#include <algorithm>
#include <cwchar>

#include "setup/resources/HalvixSetupStrings.h"
#include "setup/screens/ScreenResources.h"
#include "setup/wizard/SetupCodes.h"

namespace {

constexpr int kCounterWidth = 130;
constexpr int kCounterPadding = 4;
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
    // Wide enough for the longest count a player holds, in this language's words and font.
    wchar_t widest[512] = {};
    swprintf(widest, 512, LoadResString(IDS_SETUP_PROGRESS_COUNT).c_str(), 88888, 88888);
    const SIZE extent = MeasureTextLine(counter_.Hwnd(), widest);
    const int width = std::max<int>(kCounterWidth, extent.cx + kCounterPadding);
    const int height = std::max<int>(lineHeight + 2, extent.cy);
    SetWindowPos(counter_.Hwnd(), nullptr, client.cx - kMargin - width, 2 * lineHeight + 44, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(progress_.Hwnd(), nullptr, kMargin, 3 * lineHeight + 51, TextWidth(), Layout().progressHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CRefreshProcessingView::RegisterScreenControls() {
    RegisterControls(progress_.Hwnd() != nullptr ? &progress_ : nullptr,
                     counter_.Hwnd() != nullptr ? &counter_ : nullptr);
}
