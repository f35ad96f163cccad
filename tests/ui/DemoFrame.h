#pragma once
// The test program's main window: an "Options..." button that opens the modal options dialog,
// a timer, a registered message and F1 taken in PreTranslateMessage.

#include <string>

#include "platform/ui/UiFrameWnd.h"
#include "tests/ui/DemoEventLog.h"

class CDemoFrame : public CUiFrameWnd {
public:
    static constexpr UINT kOptionsButtonId = 101;
    static constexpr UINT kStartTimerCommand = 102;
    static constexpr UINT_PTR kTimerId = 7;
    static const CUiRegisteredMessage kPingMessage;

    CDemoFrame(CDemoEventLog& log, HMODULE language) : log_(log), language_(language) {}

    const CUiMessageMap& GetMessageMap() const override;
    BOOL PreTranslateMessage(MSG* message) override;

    // Makes OnCreate answer -1.
    bool failCreate = false;
    // What the options dialog gave back.
    BOOL remember = FALSE;
    std::wstring name;

protected:
    BOOL PreCreateWindow(CREATESTRUCTW& create) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int OnCreate(CREATESTRUCTW* create);
    void OnDestroy();
    void OnOptions();
    void OnStartTimer();
    void OnTimer(UINT_PTR timerId);
    LRESULT OnPing(WPARAM wParam, LPARAM lParam);

    CDemoEventLog& log_;
    HMODULE language_;
};
