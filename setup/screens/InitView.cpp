#include "setup/screens/InitView.h"

#include "setup/resources/HalvixSetupStrings.h"
#include "setup/screens/ScreenResources.h"

CInitView::CInitView() : CScreenView(IDD_SCREEN_INIT, {}, IDB_SETUP_CONNECT) {}

void CInitView::BindControls() {
    text_.Attach(Hwnd(), IDC_SCREEN_TEXT);
    connectText_.Attach(Hwnd(), IDC_SCREEN_TEXT2);
}

POINT CInitView::ImagePosition() const {
    const SIZE client = ScreenClientSize(Layout());
    return POINT{client.cx - kMargin - kImageWidth, 6 * Layout().lineHeight + 37};
}

void CInitView::PlaceTexts() {
    const int introBottom = SetText(text_, IDS_SETUP_INTRO, kMargin);
    const std::wstring connect =
        LoadResString(IDS_SETUP_CONNECT) + L"\r\n" + LoadResString(IDS_SETUP_RECONNECT_NOTE) + L"\r\n";
    // The second block stays clear of the picture: full width while it ends above it, else
    // beside it.
    const int top = introBottom + kLineGap;
    const int bottom = PlaceText(connectText_, connect, top);
    if (bottom > ImagePosition().y) {
        PlaceText(connectText_, connect, top, TextWidth() - kImageWidth - kLineGap);
    }
}
