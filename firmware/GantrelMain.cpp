// The library's entry point: process attach and detach.

#include <windows.h>

#include "firmware/FirmwareState.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        AttachFirmwareLibrary();
    } else if (reason == DLL_PROCESS_DETACH) {
        DetachFirmwareLibrary();
    }
    return TRUE;
}
