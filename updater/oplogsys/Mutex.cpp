#include "updater/oplogsys/Mutex.h"

namespace opLogSys::Common {

CMutex::~CMutex() {
    if (mutex_) {
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }
}

int CMutex::Lock() {
    if (InterlockedIncrement(&uses_) == 1) {
        mutex_ = CreateMutexW(nullptr, FALSE, name_.c_str());
        // Without a mutex records are still written, just without the other processes' exclusion.
        if (mutex_) WaitForSingleObject(mutex_, INFINITE);
    }
    return 1;
}

int CMutex::Unlock() {
    if (uses_ <= 0) return -1;
    if (InterlockedDecrement(&uses_) == 0 && mutex_) {
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
        mutex_ = nullptr;
    }
    return 0;
}

}  // namespace opLogSys::Common
