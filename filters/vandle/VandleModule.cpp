// Entry points of the YUY2-to-RGB32 server: the filter's and the page's class objects and
// self-registration.
#include <windows.h>

#include <new>

#include "filters/vandle/Orrick.h"
#include "filters/vandle/OrrickProperties.h"
#include "filters/vandle/VandleIds.h"
#include "platform/dshow/ClassFactory.h"
#include "platform/dshow/FilterRegistration.h"

namespace {

HMODULE g_module = nullptr;

CDsUnknown* CreateOrrick(IUnknown* outer, HRESULT*) { return new (std::nothrow) COrrick(outer); }
CDsUnknown* CreateOrrickProperties(IUnknown* outer, HRESULT*) { return new (std::nothrow) COrrickProperties(outer); }

const DsServerClass kClasses[] = {
    {&CLSID_Orrick, kOrrickFilterName, CreateOrrick},
    {&CLSID_OrrickProperties, kOrrickPageName, CreateOrrickProperties},
};

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
    REGPINTYPES type = {&MEDIATYPE_Video, &MEDIASUBTYPE_NULL};
    REGFILTERPINS pins[2] = {};
    pins[0].strName = const_cast<LPWSTR>(L"Input");
    pins[0].strConnectsToPin = const_cast<LPWSTR>(L"Output");
    pins[0].nMediaTypes = 1;
    pins[0].lpMediaType = &type;
    pins[1].strName = const_cast<LPWSTR>(L"Output");
    pins[1].bOutput = TRUE;
    pins[1].strConnectsToPin = const_cast<LPWSTR>(L"Input");
    pins[1].nMediaTypes = 1;
    pins[1].lpMediaType = &type;
    return RegisterDsFilter(CLSID_Orrick, kOrrickFilterName, MERIT_NORMAL, 2, pins);
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    const HRESULT filter = UnregisterDsFilter(CLSID_Orrick);
    const HRESULT servers = DsUnregisterServerClasses(kClasses, ARRAYSIZE(kClasses));
    return FAILED(filter) ? filter : servers;
}
