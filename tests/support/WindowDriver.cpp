#include "tests/support/WindowDriver.h"

namespace {

struct FindRequest {
    const wchar_t* className;
    const std::wstring* title;
    HWND found;
    DWORD processId;  // 0: any process
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM context) {
    auto* request = reinterpret_cast<FindRequest*>(context);
    if (!IsWindowVisible(hwnd)) return TRUE;
    if (request->processId != 0) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner != request->processId) return TRUE;
    }
    if (request->className != nullptr) {
        wchar_t className[256] = {};
        GetClassNameW(hwnd, className, 256);
        if (wcscmp(className, request->className) != 0) return TRUE;
    }
    if (WindowText(hwnd) != *request->title) return TRUE;
    request->found = hwnd;
    return FALSE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(10);
    }
}

HWND FindThreadWindow(DWORD threadId, const wchar_t* className, const std::wstring& title) {
    FindRequest request{className, &title, nullptr, 0};
    EnumThreadWindows(threadId, MatchWindow, reinterpret_cast<LPARAM>(&request));
    return request.found;
}

HWND FindProcessWindow(DWORD processId, const wchar_t* className, const std::wstring& title) {
    FindRequest request{className, &title, nullptr, processId};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&request));
    return request.found;
}

HWND WaitForProcessWindow(DWORD processId, const wchar_t* className, const std::wstring& title, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindProcessWindow(processId, className, title)) != nullptr; }, timeoutMs);
    return found;
}

HWND WaitForThreadWindow(DWORD threadId, const wchar_t* className, const std::wstring& title, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindThreadWindow(threadId, className, title)) != nullptr; }, timeoutMs);
    return found;
}

bool PostClick(HWND button) { return button != nullptr && PostMessageW(button, BM_CLICK, 0, 0) != FALSE; }

void SendClick(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

std::wstring WindowText(HWND hwnd) {
    wchar_t text[512] = {};
    GetWindowTextW(hwnd, text, 512);
    return text;
}
