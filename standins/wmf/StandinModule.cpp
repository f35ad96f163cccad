// Entry points of the Windows Media stand-in. Tests place it beside the program under the name of
// the Windows Media runtime (wmvcore.dll), so WMCreateProfileManager resolves here, and register
// its filters under the platform's class identifiers.
#include <windows.h>

#include <new>

#include "platform/dshow/ClassFactory.h"
#include "standins/wmf/AsfWriterStandin.h"
#include "standins/wmf/StandinProfile.h"

namespace standin {

std::atomic<long>& LiveObjectCount() {
    static std::atomic<long> count{0};
    return count;
}

}  // namespace standin

namespace {

HMODULE g_module = nullptr;

CDsUnknown* CreateAsfWriter(IUnknown* outer, HRESULT*) { return new (std::nothrow) standin::CAsfWriterStandin(outer); }

const DsServerClass kClasses[] = {
    {&CLSID_WMAsfWriter, L"WM ASF Writer stand-in", CreateAsfWriter},
};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE WMCreateProfileManager(IWMProfileManager** manager) {
    return standin::CreateProfileManager(manager);
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    return DsGetClassObject(kClasses, ARRAYSIZE(kClasses), clsid, iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return standin::LiveObjectCount() == 0 ? CDsClassFactory::CanUnloadNow() : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() { return DsRegisterServerClasses(kClasses, ARRAYSIZE(kClasses), g_module); }

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() { return DsUnregisterServerClasses(kClasses, ARRAYSIZE(kClasses)); }
