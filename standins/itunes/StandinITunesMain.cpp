// The iTunes stand-in as a local server: -RegServer / -UnregServer write and remove its registry
// entries; started by COM (-Embedding) it serves its fixture library until its last client lets go.

#include "StandinApplication.h"
#include "platform/com/CClassObjectRegistrar.h"
#include "platform/com/CServerRegistration.h"
#include "platform/com/ServerSwitch.h"

#include <shellapi.h>
#include <windows.h>

namespace {

const GUID kAppId = {0x4c6f2a31, 0x8d0e, 0x4b7a, {0x9f, 0x15, 0x2e, 0x6d, 0x7c, 0x8b, 0x9a, 0x03}};

const ServerClassInfo kRegisteredClasses[] = {
    {&CLSID_iTunesApp, L"iTunes.Application.1", L"iTunes.Application", L"iTunes stand-in application"},
};

const UINT kStartupGraceMs = 3000;

const ClassEntry kClassObjects[] = {
    {&CLSID_iTunesApp, &CStandinApplication::Create},
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
    ServerInfo info = {ServerInfo::Kind::LocalServer, &kAppId, L"iTunes stand-in", nullptr,
                       kRegisteredClasses, 1, true};
    CServerRegistration registration(info, path);
    HRESULT hr = which == ServerSwitch::RegServer ? registration.Register() : registration.Unregister();
    return SUCCEEDED(hr) ? 0 : 1;
}

int Serve() {
    CApplicationLock::Process().QuitThreadOnRelease(GetCurrentThreadId());
    CClassObjectRegistrar classObjects;
    if (FAILED(classObjects.Register(kClassObjects, 1))) return 1;
    // A server that no client uses ends after a grace period (Wine can start a second server
    // before the first has registered its class).
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
