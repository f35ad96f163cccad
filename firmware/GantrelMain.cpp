// The library's entry point: process attach and detach.

#include <windows.h>

#include "firmware/FirmwareState.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        AttachFirmwareLibrary();
    } else if (reason == DLL_PROCESS_DETACH) {
        // A non-null reserved argument means the process is ending rather than unloading the library.
        DetachFirmwareLibrary(reserved != nullptr);
    }
    return TRUE;
}
