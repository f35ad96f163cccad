#pragma once
// The wizard's frame as the screen transitions see it (user-interface thread only).

#include <windows.h>

class CUiWnd;
class ISetupListener;
class ISetupManager;
struct SetupFrameState;

class ISetupFrame {
public:
    // Makes screen n the visible one and brings the frame forward; the screen's window object.
    virtual CUiWnd* ShowScreen(unsigned screen) = 0;
    virtual unsigned CurrentScreen() const = 0;
    virtual ISetupListener& Listener() = 0;
    // Null when no manager was created (another wizard or the main program runs, or it failed).
    virtual ISetupManager* Manager() = 0;
    virtual SetupFrameState& State() = 0;
    // HalvixSetupResource, loaded at start-up and never freed; null when the frame has none yet.
    virtual HMODULE StringModule() const = 0;
    virtual HWND FrameWindow() const = 0;
    // Destroys the frame window, which ends the program.
    virtual void CloseFrame() = 0;

protected:
    ~ISetupFrame() = default;
};
