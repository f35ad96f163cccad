#pragma once
// The wizard's frame as the screens see it, for tests: the listener queues records as the real
// frame does, Drain hands them to the transitions one by one (records queued meanwhile are
// handled too), and ShowScreen switches the visible screen window when the test made screens.

#include <windows.h>

#include <deque>
#include <memory>
#include <vector>

#include "library/content/ThreadMessage.h"
#include "platform/ui/UiWnd.h"
#include "setup/wizard/ISetupFrame.h"
#include "setup/wizard/ISetupListener.h"
#include "setup/wizard/SetupFrameState.h"

class ISetupManager;
class ISetupScreens;

class CFakeSetupFrame : public ISetupFrame, public ISetupListener {
public:
    explicit CFakeSetupFrame(ISetupManager* manager = nullptr, HWND window = nullptr)
        : manager_(manager), window_(window) {}

    // ISetupFrame
    CUiWnd* ShowScreen(unsigned screen) override;
    unsigned CurrentScreen() const override { return current_; }
    ISetupListener& Listener() override { return *this; }
    ISetupManager* Manager() override { return manager_; }
    SetupFrameState& State() override { return state_; }
    HMODULE StringModule() const override { return nullptr; }
    HWND FrameWindow() const override { return window_; }
    void CloseFrame() override { closed = true; }

    // ISetupListener
    void OnThreadEvent(int type, int param1, int param2) override;
    void OnUIEvent(CUiControl* control1, CUiControl* control2, unsigned screen, int event, int error) override;
    void OnProcEvent(int value, int value2, int kind, int subtype, const wchar_t* text, int error) override;

    // Dispatches every queued record; the number handled.
    size_t Drain(ISetupScreens& screens);
    // The records queued and not yet drained (the test reads them; Drain would dispatch them).
    const std::deque<std::unique_ptr<CThreadMessage>>& Queue() const { return queue_; }
    void ClearQueue() { queue_.clear(); }

    // Screen windows the frame switches between; index = screen number.
    std::vector<std::unique_ptr<CUiWnd>> screens;
    // Every screen shown, in order (a screen already current is not shown again).
    std::vector<unsigned> shown;
    bool closed = false;
    // Makes a screen current without recording it as shown (the state a test starts from).
    void SetCurrent(unsigned screen);

private:
    ISetupManager* manager_;
    HWND window_;
    unsigned current_ = 0;
    SetupFrameState state_;
    std::deque<std::unique_ptr<CThreadMessage>> queue_;
};
