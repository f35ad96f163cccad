#include "platform/com/CApplicationLock.h"

CApplicationLock& CApplicationLock::Process() {
    static CApplicationLock lock;
    return lock;
}

void CApplicationLock::Lock() {
    std::lock_guard<std::mutex> guard(mutex_);
    if (startupHold_) {
        startupHold_ = false;  // the new hold takes over the start-up hold's count
        return;
    }
    ++count_;
}

void CApplicationLock::Unlock() {
    std::function<void()> action;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        if (count_ == 0) return;  // an unbalanced unlock must not drive the count negative
        if (--count_ != 0) return;
        action = releaseAction_;
    }
    // Outside the mutex: the action may lock again (a window opening as the last client leaves).
    if (action) action();
}

LONG CApplicationLock::Count() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return count_;
}

void CApplicationLock::SetReleaseAction(std::function<void()> action) {
    std::lock_guard<std::mutex> guard(mutex_);
    releaseAction_ = std::move(action);
}

void CApplicationLock::QuitThreadOnRelease(DWORD threadId) {
    SetReleaseAction([threadId] { PostThreadMessageW(threadId, WM_QUIT, 0, 0); });
}

void CApplicationLock::HoldForStartup() {
    std::lock_guard<std::mutex> guard(mutex_);
    if (startupHold_) return;
    startupHold_ = true;
    ++count_;
}

void CApplicationLock::EndStartupHold() {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        if (!startupHold_) return;
        startupHold_ = false;
    }
    Unlock();
}
