#pragma once
// What the frame needs from the screens: creating them, and the transitions that follow their
// events and the refresh progress. The frame owns the windows it is given.

#include <windows.h>

#include <memory>

class CPROCMessage;
class CUIMessage;
class CUiWnd;
class ISetupFrame;
class ISetupListener;

class ISetupScreens {
public:
    virtual ~ISetupScreens() = default;

    // Creates screen n as a hidden child of the frame (the frame shows the first one) with the given control id, tells it its
    // number and listener and runs its initial update; null when it cannot be created.
    virtual std::unique_ptr<CUiWnd> CreateScreen(unsigned screen, HWND frame, UINT controlId,
                                                 ISetupListener& listener) = 0;
    // A queued screen event (CUIMessage) and refresh progress (CPROCMessage).
    virtual void OnScreenEvent(ISetupFrame& frame, const CUIMessage& message) = 0;
    virtual void OnProgress(ISetupFrame& frame, const CPROCMessage& message) = 0;
};
