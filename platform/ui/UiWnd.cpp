#include "platform/ui/UiWnd.h"

namespace {
const wchar_t kObjectProperty[] = L"QbUiWindowObject";
}

CUiWnd::~CUiWnd() {
    if (hwnd_ == nullptr) return;
    HWND hwnd = hwnd_;
    Detach();
    ::DestroyWindow(hwnd);
}

CUiWnd* CUiWnd::FromHandle(HWND hwnd) {
    return hwnd != nullptr ? static_cast<CUiWnd*>(GetPropW(hwnd, kObjectProperty)) : nullptr;
}

BOOL CUiWnd::PreTranslateMessage(MSG*) { return FALSE; }

const CUiMessageMap& CUiWnd::GetMessageMap() const {
    static const CUiMessageMap map(nullptr, {});
    return map;
}

UINT_PTR CUiWnd::SetTimer(UINT_PTR timerId, UINT milliseconds) {
    return ::SetTimer(hwnd_, timerId, milliseconds, nullptr);
}

BOOL CUiWnd::KillTimer(UINT_PTR timerId) { return ::KillTimer(hwnd_, timerId); }

BOOL CUiWnd::DestroyWindow() { return hwnd_ != nullptr && ::DestroyWindow(hwnd_); }

LRESULT CUiWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const CUiMessageEntry* entry = GetMessageMap().Find(message, wParam, lParam)) {
        return entry->handler(*this, wParam, lParam);
    }
    return DefaultProc(message, wParam, lParam);
}

LRESULT CUiWnd::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void CUiWnd::Attach(HWND hwnd) {
    hwnd_ = hwnd;
    SetPropW(hwnd, kObjectProperty, this);
}

void CUiWnd::Detach() {
    if (hwnd_ != nullptr) RemovePropW(hwnd_, kObjectProperty);
    hwnd_ = nullptr;
}

LRESULT CUiWnd::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    try {
        result = WindowProc(message, wParam, lParam);
    } catch (...) {
        // A handler's failure must not unwind through the system's frames.
        result = message == WM_CREATE ? -1 : 0;
    }
    if (message == WM_NCDESTROY) {
        Detach();
        PostNcDestroy();
    }
    return result;
}

LRESULT CALLBACK CUiWnd::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CUiWnd* window = FromHandle(hwnd);
    if (window == nullptr && message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        window = static_cast<CUiWnd*>(create->lpCreateParams);
        if (window != nullptr) window->Attach(hwnd);
    }
    if (window == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    return window->Route(message, wParam, lParam);
}
