#pragma once
#include <string>

#include "updater/oplogsys/LogInterfaces.h"

namespace opLogSys::Common {

// A named mutex that other processes share, held while its use count is above 0. Created and
// waited for at the first Lock, released and closed when the count drops back to 0.
class CMutex : public ILockObject {
public:
    explicit CMutex(std::wstring name) : name_(std::move(name)) {}
    ~CMutex();
    CMutex(const CMutex&) = delete;
    CMutex& operator=(const CMutex&) = delete;

    int Lock() override;
    // -1 when the mutex is not held.
    int Unlock() override;

private:
    std::wstring name_;
    HANDLE mutex_ = nullptr;
    LONG uses_ = 0;
};

}  // namespace opLogSys::Common
