#include "tests/mediaprobe/ProbeTestSupport.h"

#include <windows.h>

#include <memory>

#include "library/media/decode/TagOpeners.h"

std::wstring ProbeFixture(const wchar_t* name) {
    const std::string folder = QB_TEST_DATA_DIR "/mediaprobe/";
    return std::wstring(folder.begin(), folder.end()) + name;
}

bool HasAsfTagReader() {
    std::unique_ptr<CTagParser> reader(OpenTagReaderByType(ProbeFixture(L"tagged.wma"), kTagReaderAsf));
    return reader != nullptr;
}

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
