#pragma once
// Runs a window's life on a thread of its own (its creation and its message loop), so the test
// thread can drive it with messages and look at it while it runs.

#include <windows.h>

#include <functional>

class CUiTestThread {
public:
    CUiTestThread() = default;
    // Waits for the thread; a test ends its windows before this runs.
    ~CUiTestThread();
    CUiTestThread(const CUiTestThread&) = delete;
    CUiTestThread& operator=(const CUiTestThread&) = delete;

    bool Start(std::function<void()> body);
    // True when the body has returned within the time.
    bool Join(DWORD timeoutMs);
    DWORD ThreadId() const { return threadId_; }

private:
    static DWORD WINAPI ThreadProc(void* context);

    std::function<void()> body_;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
};
