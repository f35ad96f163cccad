#pragma once

#include "library/util/ScopedWin.h"

// A run flag that several threads set, clear and poll; each flag has a lock of its own.
class CLockedFlag {
public:
    explicit CLockedFlag(bool initial = false) : value_(initial) {}

    void Set(bool value) {
        CScopedLock lock(lock_);
        value_ = value;
    }
    bool Get() {
        CScopedLock lock(lock_);
        return value_;
    }

private:
    CCriticalSection lock_;
    bool value_;
};
