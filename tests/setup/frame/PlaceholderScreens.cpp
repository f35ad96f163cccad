#include "tests/setup/frame/PlaceholderScreens.h"

#include "tests/setup/frame/PlaceholderScreen.h"
#include "setup/wizard/ISetupFrame.h"
#include "setup/wizard/SetupCodes.h"
#include "setup/wizard/SetupMessages.h"

std::unique_ptr<CUiWnd> CPlaceholderScreens::CreateScreen(unsigned screen, HWND frame, UINT controlId,
                                                          ISetupListener& listener) {
    auto view = std::make_unique<CPlaceholderScreen>(screen, listener);
    if (!view->Create(frame, controlId)) return nullptr;
    return view;
}

void CPlaceholderScreens::OnScreenEvent(ISetupFrame& frame, const CUIMessage& message) {
    if (message.event == SetupEvent::kOk && message.screen == frame.CurrentScreen()) frame.CloseFrame();
}
