#pragma once
// A window class's table of handled messages, written like a "messages handled" table:
//
//   const CUiMessageMap& CMyFrame::GetMessageMap() const {
//       static const CUiMessageMap map(&CUiFrameWnd::GetMessageMap(), {
//           UiOnCreate(&CMyFrame::OnCreate),
//           UiOnMessage(WM_DESTROY, &CMyFrame::OnDestroy),
//           UiOnCommand(101, &CMyFrame::OnSettings),
//           UiOnRegisteredMessage(g_internalMessage, &CMyFrame::OnInternal),
//       });
//       return map;
//   }
//
// wParam and lParam are cracked here, once; handlers receive typed values. A class's own entries
// are searched before its base's (the qualified call above names the base's table).

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <vector>

#include "platform/ui/UiRegisteredMessage.h"

class CUiWnd;

struct CUiMessageEntry {
    UINT message = 0;
    // A registered message's id is known only once static initialisation has run, so the entry
    // reads it at dispatch time.
    const CUiRegisteredMessage* registered = nullptr;
    // WM_COMMAND: the control or menu id (any notification code). WM_NOTIFY: the control id and
    // the notification code.
    bool matchesControlId = false;
    UINT_PTR controlId = 0;
    bool matchesNotifyCode = false;
    UINT notifyCode = 0;
    std::function<LRESULT(CUiWnd&, WPARAM, LPARAM)> handler;
};

class CUiMessageMap {
public:
    CUiMessageMap(const CUiMessageMap* base, std::initializer_list<CUiMessageEntry> entries);

    // The handler of this message in this table or a base table; null when none handles it.
    const CUiMessageEntry* Find(UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    const CUiMessageMap* base_;
    std::vector<CUiMessageEntry> entries_;
};

// Any message, raw: LRESULT OnX(WPARAM, LPARAM).
template <class T>
CUiMessageEntry UiOnMessage(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
    CUiMessageEntry entry;
    entry.message = message;
    entry.handler = [handler](CUiWnd& window, WPARAM wParam, LPARAM lParam) {
        return (static_cast<T&>(window).*handler)(wParam, lParam);
    };
    return entry;
}

// A message whose parameters the handler does not need: void OnX(); answers 0.
template <class T>
CUiMessageEntry UiOnMessage(UINT message, void (T::*handler)()) {
    CUiMessageEntry entry;
    entry.message = message;
    entry.handler = [handler](CUiWnd& window, WPARAM, LPARAM) {
        (static_cast<T&>(window).*handler)();
        return LRESULT(0);
    };
    return entry;
}

// A message obtained with RegisterWindowMessageW: LRESULT OnX(WPARAM, LPARAM).
template <class T>
CUiMessageEntry UiOnRegisteredMessage(const CUiRegisteredMessage& message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
    CUiMessageEntry entry = UiOnMessage(0, handler);
    entry.registered = &message;
    return entry;
}

// WM_CREATE: int OnCreate(CREATESTRUCTW*); -1 fails the creation.
template <class T>
CUiMessageEntry UiOnCreate(int (T::*handler)(CREATESTRUCTW*)) {
    CUiMessageEntry entry;
    entry.message = WM_CREATE;
    entry.handler = [handler](CUiWnd& window, WPARAM, LPARAM lParam) {
        return LRESULT((static_cast<T&>(window).*handler)(reinterpret_cast<CREATESTRUCTW*>(lParam)));
    };
    return entry;
}

// WM_TIMER: void OnTimer(UINT_PTR timerId).
template <class T>
CUiMessageEntry UiOnTimer(void (T::*handler)(UINT_PTR)) {
    CUiMessageEntry entry;
    entry.message = WM_TIMER;
    entry.handler = [handler](CUiWnd& window, WPARAM wParam, LPARAM) {
        (static_cast<T&>(window).*handler)(static_cast<UINT_PTR>(wParam));
        return LRESULT(0);
    };
    return entry;
}

// WM_COMMAND of one control or menu id, any notification: void OnX().
template <class T>
CUiMessageEntry UiOnCommand(UINT id, void (T::*handler)()) {
    CUiMessageEntry entry = UiOnMessage(WM_COMMAND, handler);
    entry.matchesControlId = true;
    entry.controlId = id;
    return entry;
}

// WM_NOTIFY of one control with one code: LRESULT OnX(NMHDR*).
template <class T>
CUiMessageEntry UiOnNotify(UINT_PTR controlId, UINT code, LRESULT (T::*handler)(NMHDR*)) {
    CUiMessageEntry entry;
    entry.message = WM_NOTIFY;
    entry.matchesControlId = true;
    entry.controlId = controlId;
    entry.matchesNotifyCode = true;
    entry.notifyCode = code;
    entry.handler = [handler](CUiWnd& window, WPARAM, LPARAM lParam) {
        return (static_cast<T&>(window).*handler)(reinterpret_cast<NMHDR*>(lParam));
    };
    return entry;
}
