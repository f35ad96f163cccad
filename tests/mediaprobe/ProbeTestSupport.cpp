#include "tests/mediaprobe/ProbeTestSupport.h"

#include <windows.h>

#include <memory>


std::wstring ProbeFixture(const wchar_t* name) {
    const std::string folder = QB_TEST_DATA_DIR "/mediaprobe/";
    return std::wstring(folder.begin(), folder.end()) + name;
}

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
