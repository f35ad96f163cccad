#include "tests/support/UiTestThread.h"

CUiTestThread::~CUiTestThread() {
    if (thread_ == nullptr) return;
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
}

bool CUiTestThread::Start(std::function<void()> body) {
    if (thread_ != nullptr) return false;
    body_ = std::move(body);
    thread_ = CreateThread(nullptr, 0, ThreadProc, this, 0, &threadId_);
    return thread_ != nullptr;
}

bool CUiTestThread::Join(DWORD timeoutMs) {
    return thread_ != nullptr && WaitForSingleObject(thread_, timeoutMs) == WAIT_OBJECT_0;
}

DWORD WINAPI CUiTestThread::ThreadProc(void* context) {
    auto* self = static_cast<CUiTestThread*>(context);
    try {
        self->body_();
    } catch (...) {
        return 1;
    }
    return 0;
}
