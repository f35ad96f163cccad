// Ledrin: the installation's gadget installer. Its result is the process exit code alone.
#include <windows.h>
#include <shellapi.h>

#include "installer/ledrin/GadgetOpen.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) return ERROR_NOT_ENOUGH_MEMORY;
    const DWORD result = OpenGadgetFile(count >= 2 ? arguments[1] : nullptr);
    LocalFree(arguments);
    return static_cast<int>(result);
}
