#include "firmware/FirmwareState.h"

#include <objbase.h>

#include <new>

#include "firmware/MassStorageSystem.h"
#include "library/device/WpdClassCache.h"

namespace {

// Marks that a process has the library loaded; nothing waits on it.
const wchar_t kPresenceEventName[] = L"3AB7597C-E9AE-4c9a-A537-66291E8812D7";

HANDLE g_presenceEvent = nullptr;
bool g_comInitialized = false;
IMassStorageSystem* g_massStorage = nullptr;
// Looking a portable-device class up reads the registry (about 0.2 ms under Wine; a copy's rescan
// needs five classes). The load's own COM initialisation keeps the loading thread's apartment
// alive until unload, so on that thread the class objects are kept for the library's life; other
// threads keep them for one export call.
CWpdClassCache* g_loadingThreadClasses = nullptr;
DWORD g_loadingThread = 0;

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
    if (g_comInitialized) {
        g_loadingThreadClasses = new (std::nothrow) CWpdClassCache();
        g_loadingThread = GetCurrentThreadId();
    }
}

void DetachFirmwareLibrary(bool processEnding) {
    // Class objects go back on their own thread only, and not while the process ends, when the
    // modules that made them may be gone already; otherwise they are left as they are.
    if (g_loadingThreadClasses && !processEnding && GetCurrentThreadId() == g_loadingThread) {
        delete g_loadingThreadClasses;
    }
    g_loadingThreadClasses = nullptr;
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
