#pragma once
#include "updater/oplogsys/LogInterfaces.h"

namespace opLogSys::Common {

class CCriticalSection : public ILockObject {
public:
    CCriticalSection() { InitializeCriticalSection(&section_); }
    ~CCriticalSection() { DeleteCriticalSection(&section_); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    int Lock() override {
        EnterCriticalSection(&section_);
        return 1;
    }
    int Unlock() override {
        LeaveCriticalSection(&section_);
        return 0;
    }

private:
    CRITICAL_SECTION section_;
};

// Scoped Lock/Unlock of any lock object.
template <class Lockable>
class CLockScope {
public:
    explicit CLockScope(Lockable& lock) : lock_(lock) { lock_.Lock(); }
    ~CLockScope() { lock_.Unlock(); }
    CLockScope(const CLockScope&) = delete;
    CLockScope& operator=(const CLockScope&) = delete;

private:
    Lockable& lock_;
};

}  // namespace opLogSys::Common
