#include "platform/com/CLocalServer.h"

#include <shellapi.h>

#include <string>

#include "platform/com/CApplicationLock.h"
#include "platform/com/ServerSwitch.h"

namespace {

// A server that no client ever uses ends after this (the first client's hold ends it earlier). Two clients starting at once can each have COM
// start a server (Wine starts a second one before the first has registered its classes), and a
// client fails outright when the server it started ends before it has found the class. On a loaded
// machine a client can take many seconds from the class's registration to its first call.
const UINT kStartupGraceMs = 20000;

std::wstring ModulePath() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    return path;
}

// The class objects of the serving loop, while it runs (one per process).
CClassObjectRegistrar* servingClassObjects = nullptr;

ServerSwitch FirstSwitch() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) return ServerSwitch::None;
    ServerSwitch found = ServerSwitch::None;
    for (int index = 1; index < count && found == ServerSwitch::None; ++index) found = ServerSwitchOf(arguments[index]);
    LocalFree(arguments);
    return found;
}

}  // namespace

CLocalServer::CLocalServer(const ServerInfo& registration, const ClassEntry* classObjects, size_t classObjectCount)
    : registration_(registration), classObjects_(classObjects), classObjectCount_(classObjectCount) {}

int CLocalServer::Run() {
    const ServerSwitch which = FirstSwitch();
    if (which == ServerSwitch::RegServer) return Register(true);
    if (which == ServerSwitch::UnregServer) return Register(false);
    return Serve();
}

int CLocalServer::Register(bool add) {
    const std::wstring path = ModulePath();
    if (path.empty()) return 1;
    CServerRegistration registration(registration_, path);
    const HRESULT hr = add ? registration.Register() : registration.Unregister();
    return SUCCEEDED(hr) ? 0 : 1;
}

int CLocalServer::Serve() {
    CApplicationLock::Process().QuitThreadOnRelease(GetCurrentThreadId());
    CClassObjectRegistrar classObjects;
    if (FAILED(classObjects.Register(classObjects_, classObjectCount_))) return 1;
    servingClassObjects = &classObjects;
    CApplicationLock::Process().HoldForStartup();
    UINT_PTR graceTimer = SetTimer(nullptr, 0, kStartupGraceMs, nullptr);
    if (!graceTimer) CApplicationLock::Process().EndStartupHold();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == nullptr && message.wParam == graceTimer) {
            KillTimer(nullptr, graceTimer);
            graceTimer = 0;
            CApplicationLock::Process().EndStartupHold();
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    servingClassObjects = nullptr;
    classObjects.Revoke();
    return 0;
}

void CLocalServer::RevokeClassObjects() {
    if (servingClassObjects) servingClassObjects->Revoke();
}
