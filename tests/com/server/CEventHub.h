#pragma once
// The test server's event runs: once the number of clients a run asks for have started, a worker
// thread fires the events, each to every started object, in order and one at a time.

#include "platform/com/CApplicationLock.h"

#include <windows.h>

#include <mutex>
#include <vector>

class CEventSource;

class CEventHub {
public:
    static CEventHub& Instance();

    void Add(CEventSource* source);
    void Remove(CEventSource* source);
    HRESULT Start(CEventSource* source, LONG events, LONG clients);
    // Ends the program's use of the hub: waits for a run still going.
    void Join();

private:
    CEventHub();
    static DWORD WINAPI RunThread(void* context);
    void Run();

    std::mutex mutex_;
    std::vector<CEventSource*> live_;
    std::vector<CEventSource*> started_;
    std::vector<CEventSource*> running_;  // each holds a reference while the run lasts
    LONG events_ = 0;
    HANDLE finished_;                     // manual reset: set while no run is going
    HANDLE thread_ = nullptr;
};
