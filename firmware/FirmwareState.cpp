#include "firmware/FirmwareState.h"

#include <objbase.h>

#include "firmware/MassStorageSystem.h"

namespace {

// Marks that a process has the library loaded; nothing waits on it.
const wchar_t kPresenceEventName[] = L"3AB7597C-E9AE-4c9a-A537-66291E8812D7";

HANDLE g_presenceEvent = nullptr;
bool g_comInitialized = false;
IMassStorageSystem* g_massStorage = nullptr;

}  // namespace

void AttachFirmwareLibrary() {
    g_comInitialized = SUCCEEDED(CoInitialize(nullptr));
    SetLastError(ERROR_SUCCESS);
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, kPresenceEventName);
    if (!event || GetLastError() != ERROR_SUCCESS) {
        // Another process holds the library: it is served all the same, without the event.
        if (event) CloseHandle(event);
        if (g_comInitialized) CoUninitialize();
        g_comInitialized = false;
        return;
    }
    g_presenceEvent = event;
}

void DetachFirmwareLibrary() {
    if (g_comInitialized) CoUninitialize();
    g_comInitialized = false;
    if (g_presenceEvent) CloseHandle(g_presenceEvent);
    g_presenceEvent = nullptr;
}

CCriticalSection& ListLock() {
    static CCriticalSection lock;
    return lock;
}

CCriticalSection& MtpAppendLock() {
    static CCriticalSection lock;
    return lock;
}

IMassStorageSystem& MassStorageSystem() {
    static CWin32MassStorageSystem real;
    return g_massStorage ? *g_massStorage : real;
}

void SetMassStorageSystem(IMassStorageSystem* system) { g_massStorage = system; }
