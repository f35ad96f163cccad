#include "setup/screens/RegConfirmView.h"

#include "setup/resources/HalvixSetupStrings.h"
#include "setup/screens/ScreenResources.h"
#include "setup/wizard/SetupCodes.h"

CRegConfirmView::CRegConfirmView()
    : CScreenView(IDD_SCREEN_REG_CONFIRM,
                  {{IDS_SETUP_BUTTON_OK, SetupEvent::kOk}, {IDS_SETUP_BUTTON_CANCEL, SetupEvent::kCancel}}) {}

void CRegConfirmView::BindControls() {
    text_.Attach(Hwnd(), IDC_SCREEN_TEXT);
    modelLine_.Attach(Hwnd(), IDC_SCREEN_LINE);
}

void CRegConfirmView::PlaceTexts() {
    const int bottom = SetTexts(text_, {IDS_SETUP_NOT_REGISTERED, IDS_SETUP_REGISTER_QUESTION}, kMargin);
    // Until the frame names the model, the line reads as the bare label. The model name comes
    // later and may run long: the line keeps room for two lines.
    std::wstring label = LoadResString(IDS_SETUP_MODEL);
    const size_t slot = label.find(L"%s");
    if (slot != std::wstring::npos) label.erase(slot, 2);
    PlaceText(modelLine_, label, bottom + kLineGap);
    SetWindowPos(modelLine_.Hwnd(), nullptr, 0, 0, TextWidth(), 2 * Layout().lineHeight + 4,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CRegConfirmView::RegisterScreenControls() {
    RegisterControls(modelLine_.Hwnd() != nullptr ? &modelLine_ : nullptr, nullptr);
}
