// A local automation server for the script tests: -RegServer / -UnregServer write and remove its
// registry entries; started by COM (-Embedding) it serves until its last client lets go.

#include "CEventHub.h"
#include "CEventSource.h"
#include "platform/com/CClassObjectRegistrar.h"
#include "platform/com/CServerRegistration.h"
#include "platform/com/ServerSwitch.h"

#include <shellapi.h>
#include <windows.h>

namespace {

const GUID kAppId = {0x7d3a2f10, 0x5b8e, 0x4c61, {0x9e, 0x2a, 0x3c, 0x4b, 0x5d, 0x6e, 0x7f, 0x05}};

const ServerClassInfo kRegisteredClasses[] = {
    {&CLSID_EventSource, L"Quillbay.ComTestServer.1", L"Quillbay.ComTestServer", L"Quillbay COM test event source"},
};

const UINT kStartupGraceMs = 3000;

const ClassEntry kClassObjects[] = {
    {&CLSID_EventSource, &CEventSource::Create},
};

std::wstring ModulePath() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    return path;
}

ServerSwitch FirstSwitch() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) return ServerSwitch::None;
    ServerSwitch found = ServerSwitch::None;
    for (int index = 1; index < count && found == ServerSwitch::None; ++index) found = ServerSwitchOf(arguments[index]);
    LocalFree(arguments);
    return found;
}

int Registration(ServerSwitch which) {
    std::wstring path = ModulePath();
    if (path.empty()) return 1;
    ServerInfo info = {ServerInfo::Kind::LocalServer, &kAppId, L"Quillbay COM test server", nullptr,
                       kRegisteredClasses, 1, true};
    CServerRegistration registration(info, path);
    HRESULT hr = which == ServerSwitch::RegServer ? registration.Register() : registration.Unregister();
    return SUCCEEDED(hr) ? 0 : 1;
}

int Serve() {
    CApplicationLock::Process().QuitThreadOnRelease(GetCurrentThreadId());
    CClassObjectRegistrar classObjects;
    if (FAILED(classObjects.Register(kClassObjects, 1))) return 1;
    // A server that no client uses ends after a grace period: two clients starting at once can each
    // have COM start a server (Wine starts a second one before the first has registered).
    CApplicationLock::Process().Lock();
    UINT_PTR graceTimer = SetTimer(nullptr, 0, kStartupGraceMs, nullptr);
    if (!graceTimer) CApplicationLock::Process().Unlock();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == nullptr && message.wParam == graceTimer) {
            KillTimer(nullptr, graceTimer);
            graceTimer = 0;
            CApplicationLock::Process().Unlock();
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    classObjects.Revoke();
    CEventHub::Instance().Join();
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    ServerSwitch which = FirstSwitch();
    int status = 0;
    if (which == ServerSwitch::RegServer || which == ServerSwitch::UnregServer) {
        status = Registration(which);
    } else {
        status = Serve();
    }
    CoUninitialize();
    return status;
}
