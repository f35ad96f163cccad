// The iTunes stand-in as a local server: -RegServer / -UnregServer write and remove its registry
// entries; started by COM (-Embedding) it serves its fixture library until its last client lets go.

#include "StandinApplication.h"
#include "platform/com/CLocalServer.h"

#include <windows.h>

namespace {

const GUID kAppId = {0x4c6f2a31, 0x8d0e, 0x4b7a, {0x9f, 0x15, 0x2e, 0x6d, 0x7c, 0x8b, 0x9a, 0x03}};

const ServerClassInfo kRegisteredClasses[] = {
    {&CLSID_iTunesApp, L"iTunes.Application.1", L"iTunes.Application", L"iTunes stand-in application"},
};

const ClassEntry kClassObjects[] = {
    {&CLSID_iTunesApp, &CStandinApplication::Create},
};

const ServerInfo kRegistration = {ServerInfo::Kind::LocalServer, &kAppId, L"iTunes stand-in", nullptr,
                                  kRegisteredClasses, 1, true};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    const int status = CLocalServer(kRegistration, kClassObjects, 1).Run();
    CoUninitialize();
    return status;
}
