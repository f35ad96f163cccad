// Entry points of the silence detector's server: its class object and self-registration.
#include <windows.h>

#include <new>

#include "filters/tembric/Tembric.h"
#include "platform/dshow/ClassFactory.h"
#include "platform/dshow/FilterRegistration.h"

namespace {

HMODULE g_module = nullptr;
const wchar_t kFilterName[] = L"No Audio Signal Detector";

CDsUnknown* CreateTembric(IUnknown* outer, HRESULT*) { return new (std::nothrow) CTembric(outer); }

const DsServerClass kClasses[] = {{&CLSID_Tembric, kFilterName, CreateTembric}};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    return DsGetClassObject(kClasses, ARRAYSIZE(kClasses), clsid, iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return CDsClassFactory::CanUnloadNow(); }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    const HRESULT hr = DsRegisterServerClasses(kClasses, ARRAYSIZE(kClasses), g_module);
    if (FAILED(hr)) return hr;
    REGPINTYPES type = {&MEDIATYPE_Audio, &MEDIASUBTYPE_PCM};
    REGFILTERPINS pin = {};
    pin.strName = const_cast<LPWSTR>(L"In");
    pin.nMediaTypes = 1;
    pin.lpMediaType = &type;
    return RegisterDsFilter(CLSID_Tembric, kFilterName, MERIT_NORMAL, 1, &pin);
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    const HRESULT filter = UnregisterDsFilter(CLSID_Tembric);
    const HRESULT server = DsUnregisterServerClasses(kClasses, ARRAYSIZE(kClasses));
    return FAILED(filter) ? filter : server;
}
