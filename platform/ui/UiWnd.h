#pragma once
// Base of every window object of the framework: ties an HWND to its object and routes each
// message through the class's message table, then to the default handling. One static window
// procedure serves all classes; the object is found through a window property.

#include <windows.h>

#include "platform/ui/UiMessageMap.h"

class CUiWnd {
public:
    CUiWnd() = default;
    // Destroys a window that still exists; its handlers no longer run by then.
    virtual ~CUiWnd();
    CUiWnd(const CUiWnd&) = delete;
    CUiWnd& operator=(const CUiWnd&) = delete;

    HWND Hwnd() const { return hwnd_; }
    // The framework object of a window of this process; null for plain windows and controls.
    static CUiWnd* FromHandle(HWND hwnd);

    // Optional: a chance to consume a message before the loop translates and dispatches it.
    virtual BOOL PreTranslateMessage(MSG* message);
    // Optional: the class's table; the base table handles nothing.
    virtual const CUiMessageMap& GetMessageMap() const;

    UINT_PTR SetTimer(UINT_PTR timerId, UINT milliseconds);
    BOOL KillTimer(UINT_PTR timerId);
    BOOL DestroyWindow();

protected:
    // Optional: the message table first, then DefaultProc. Overrides handle their own messages
    // and pass the rest to the base.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // What a message no table handles gets.
    virtual LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Optional: runs after the window is gone (WM_NCDESTROY); the object is still alive.
    virtual void PostNcDestroy() {}

    void Attach(HWND hwnd);
    void Detach();
    // Runs WindowProc with exceptions kept inside; WM_NCDESTROY detaches afterwards.
    LRESULT Route(UINT message, WPARAM wParam, LPARAM lParam);

    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    HWND hwnd_ = nullptr;
};
