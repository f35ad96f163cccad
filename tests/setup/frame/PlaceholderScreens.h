#pragma once
// Bare screens that let the frame be tested without the real ones: each screen's one button
// closes the wizard on the screen shown.

#include "setup/wizard/ISetupScreens.h"

class CPlaceholderScreens : public ISetupScreens {
public:
    std::unique_ptr<CUiWnd> CreateScreen(unsigned screen, HWND frame, UINT controlId,
                                         ISetupListener& listener) override;
    void OnScreenEvent(ISetupFrame& frame, const CUIMessage& message) override;
    void OnProgress(ISetupFrame&, const CPROCMessage&) override {}
};
