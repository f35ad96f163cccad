#include "app/main/AutomationServer.h"

#include <string>

#include "TavrelQuillbay.h"
#include "app/main/CTavrelQuillbay.h"
#include "app/main/CTavrelQuillbay2.h"
#include "app/main/CTavrelQuillbayApp.h"
#include "platform/com/CApplicationLock.h"
#include "platform/com/CServerRegistration.h"

const GUID kQuillbayAppId = {0x9A866688, 0xD570, 0x4996, {0xA6, 0xE5, 0x70, 0x23, 0x78, 0x36, 0xA6, 0x25}};

namespace {

void CALLBACK StartupHoldTimedOut(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    CApplicationLock::Process().EndStartupHold();
}

const ClassEntry kClassObjects[] = {
    {&CLSID_TavrelQuillbay, &CTavrelQuillbay::Create},
    {&CLSID_TavrelQuillbay2, &CTavrelQuillbay2::Create},
    {&CLSID_TavrelQuillbayApp, &CTavrelQuillbayApp::Create},
};

const ServerClassInfo kRegisteredClasses[] = {
    {&CLSID_TavrelQuillbay, L"TavrelQuillbay.TavrelQuillbay.1", L"TavrelQuillbay.TavrelQuillbay",
     L"TavrelQuillbay Class"},
    {&CLSID_TavrelQuillbay2, L"TavrelQuillbay.TavrelQuillbay2.1", L"TavrelQuillbay.TavrelQuillbay2",
     L"TavrelQuillbay2 Class"},
    {&CLSID_TavrelQuillbayApp, L"TavrelQuillbay.TavrelQuillbayApp.1", L"TavrelQuillbay.TavrelQuillbayApp",
     L"TavrelQuillbayApp Class"},
};

const ServerInfo kRegistration = {ServerInfo::Kind::LocalServer,
                                  &kQuillbayAppId,
                                  L"Quillbay",
                                  nullptr,
                                  kRegisteredClasses,
                                  sizeof(kRegisteredClasses) / sizeof(kRegisteredClasses[0]),
                                  true};

std::wstring ProgramPath() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    return path;
}

}  // namespace

const ClassEntry* AutomationClassObjects(size_t* count) {
    *count = sizeof(kClassObjects) / sizeof(kClassObjects[0]);
    return kClassObjects;
}

void HoldForFirstClient(UINT milliseconds) {
    CApplicationLock& lock = CApplicationLock::Process();
    lock.HoldForStartup();
    if (!SetTimer(nullptr, 0, milliseconds, StartupHoldTimedOut)) lock.EndStartupHold();
}

HRESULT RegisterAutomationServer() {
    const std::wstring path = ProgramPath();
    if (path.empty()) return E_FAIL;
    return CServerRegistration(kRegistration, path).Register();
}

HRESULT UnregisterAutomationServer() {
    const std::wstring path = ProgramPath();
    if (path.empty()) return E_FAIL;
    return CServerRegistration(kRegistration, path).Unregister();
}
