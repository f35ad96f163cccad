#pragma once
// The program's screens until the real ones are linked: placeholders whose one button closes the
// wizard on the screens that end it, and Cancel-like aborts that follow the device checks.

#include "setup/wizard/ISetupScreens.h"

class CPlaceholderScreens : public ISetupScreens {
public:
    std::unique_ptr<CUiWnd> CreateScreen(unsigned screen, HWND frame, UINT controlId,
                                         ISetupListener& listener) override;
    void OnScreenEvent(ISetupFrame& frame, const CUIMessage& message) override;
    void OnProgress(ISetupFrame&, const CPROCMessage&) override {}
};
