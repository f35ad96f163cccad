// Entry points of the simulated update components' in-process server.
#include <windows.h>

#include "platform/com/CApplicationLock.h"
#include "platform/com/CClassFactory.h"
#include "platform/com/CServerRegistration.h"
#include "standins/fennic/StandinDownload.h"
#include "standins/fennic/StandinUpdateInfo.h"
#include "standins/fennic/StandinUserInterface.h"

using namespace standin;

namespace {

HMODULE g_module = nullptr;

const ClassEntry kClasses[] = {
    {&kClsidFennicUserInterface, CStandinUserInterface::Create},
    {&kClsidFennicDownload, CStandinDownload::Create},
    {&kClsidFennicUpdateInfo, CStandinUpdateInfo::Create},
};

const ServerClassInfo kClassInfo[] = {
    {&kClsidFennicUserInterface, L"FennicStandin.UserInterface.1", L"FennicStandin.UserInterface", L"Fennic user interface (stand-in)"},
    {&kClsidFennicDownload, L"FennicStandin.Download.1", L"FennicStandin.Download", L"Fennic download (stand-in)"},
    {&kClsidFennicUpdateInfo, L"FennicStandin.UpdateInfo.1", L"FennicStandin.UpdateInfo", L"Fennic update information (stand-in)"},
};

CServerRegistration Registration() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(g_module, path, MAX_PATH);
    // "Both": the program's worker threads call the objects its main thread created.
    const ServerInfo info = {ServerInfo::Kind::InprocServer, nullptr, nullptr, L"Both", kClassInfo,
                             sizeof(kClassInfo) / sizeof(kClassInfo[0]), false};
    return CServerRegistration(info, path);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** result) {
    return CClassFactory::GetClassObject(kClasses, sizeof(kClasses) / sizeof(kClasses[0]), clsid, iid, result);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return CApplicationLock::Process().Count() == 0 ? S_OK : S_FALSE; }

extern "C" HRESULT WINAPI DllRegisterServer() { return Registration().Register(); }

extern "C" HRESULT WINAPI DllUnregisterServer() { return Registration().Unregister(); }
