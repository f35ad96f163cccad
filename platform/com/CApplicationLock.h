#pragma once
// The count that keeps a COM server alive: every live object, every LockServer(TRUE) and every
// window the user opened holds one. When the last one goes, the server's release action runs (a
// local server ends its message loop; an in-process server only answers DllCanUnloadNow).

#include <windows.h>

#include <functional>
#include <mutex>

class CApplicationLock {
public:
    CApplicationLock() = default;
    CApplicationLock(const CApplicationLock&) = delete;
    CApplicationLock& operator=(const CApplicationLock&) = delete;

    // The lock of this process's server objects.
    static CApplicationLock& Process();

    void Lock();
    // Runs the release action, on the calling thread, when this was the last hold.
    void Unlock();
    LONG Count() const;
    // Replaces the release action; an empty one does nothing.
    void SetReleaseAction(std::function<void()> action);
    // A local server's release action: WM_QUIT to the thread that runs its message loop.
    void QuitThreadOnRelease(DWORD threadId);
    // A hold for a server that COM started for a client: the first other hold takes its place, so
    // the server ends with its last client; EndStartupHold lets go of it when no client came.
    void HoldForStartup();
    void EndStartupHold();

private:
    mutable std::mutex mutex_;
    LONG count_ = 0;
    bool startupHold_ = false;
    std::function<void()> releaseAction_;
};

// One hold of an application lock for as long as it lives: a member of every server object.
class CApplicationLockHold {
public:
    explicit CApplicationLockHold(CApplicationLock& lock = CApplicationLock::Process()) : lock_(lock) { lock_.Lock(); }
    ~CApplicationLockHold() { lock_.Unlock(); }
    CApplicationLockHold(const CApplicationLockHold&) = delete;
    CApplicationLockHold& operator=(const CApplicationLockHold&) = delete;

private:
    CApplicationLock& lock_;
};
