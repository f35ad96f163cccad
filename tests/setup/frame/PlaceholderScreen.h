#pragma once
// A bare wizard screen for the frame's tests: names its number and offers
// one button that reports OK/Finish (event 4) to the frame.

#include "platform/ui/UiWnd.h"

class ISetupListener;

class CPlaceholderScreen : public CUiWnd {
public:
    CPlaceholderScreen(unsigned screen, ISetupListener& listener) : screen_(screen), listener_(listener) {}

    // A hidden child of the frame with the given control id.
    bool Create(HWND frame, UINT controlId);

    const CUiMessageMap& GetMessageMap() const override;

private:
    void OnPaint();
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    void OnSize();

    unsigned screen_;
    ISetupListener& listener_;
    HWND button_ = nullptr;
};
