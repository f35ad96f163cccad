// A local automation server for the script tests: -RegServer / -UnregServer write and remove its
// registry entries; started by COM (-Embedding) it serves until its last client lets go.

#include "CEventHub.h"
#include "CEventSource.h"
#include "platform/com/CLocalServer.h"

#include <windows.h>

namespace {

const GUID kAppId = {0x7d3a2f10, 0x5b8e, 0x4c61, {0x9e, 0x2a, 0x3c, 0x4b, 0x5d, 0x6e, 0x7f, 0x05}};

const ServerClassInfo kRegisteredClasses[] = {
    {&CLSID_EventSource, L"Quillbay.ComTestServer.1", L"Quillbay.ComTestServer", L"Quillbay COM test event source"},
};

const ClassEntry kClassObjects[] = {
    {&CLSID_EventSource, &CEventSource::Create},
};

const ServerInfo kRegistration = {ServerInfo::Kind::LocalServer, &kAppId, L"Quillbay COM test server", nullptr,
                                  kRegisteredClasses, 1, true};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    const int status = CLocalServer(kRegistration, kClassObjects, 1).Run();
    CEventHub::Instance().Join();
    CoUninitialize();
    return status;
}
