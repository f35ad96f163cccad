// Helper process of the decoding tests: builds a decoder graph (taking the single-decode token),
// says so through the named event given second, and gives the token back when the event given
// third is signalled.
#include <windows.h>

#include "library/media/decode/ITranscode2.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) return 2;
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    HANDLE built = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
    HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, argv[3]);
    if (built == nullptr || release == nullptr) return 3;
    ITranscode2* graph = CreateTranscode2(nullptr);
    const HRESULT hr = graph->SetFile(argv[1], 2);
    SetEvent(built);
    WaitForSingleObject(release, 60000);
    graph->ReleaseSingleMode();
    graph->Release();
    delete graph;
    CloseHandle(built);
    CloseHandle(release);
    CoUninitialize();
    return SUCCEEDED(hr) ? 0 : 1;
}
