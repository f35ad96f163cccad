#pragma once
// The waits of the firmware update add up to about ten minutes; tests pass a faster clock.

#include <windows.h>

class IUpdateClock {
public:
    virtual ~IUpdateClock() = default;
    virtual void Sleep(DWORD milliseconds) = 0;
};

class CSystemClock : public IUpdateClock {
public:
    void Sleep(DWORD milliseconds) override { ::Sleep(milliseconds); }
};
