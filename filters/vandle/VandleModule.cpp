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

struct ServerClass {
    const CLSID* clsid;
    const wchar_t* name;
    DsCreateInstance create;
};

const ServerClass kClasses[] = {
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
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    for (const ServerClass& entry : kClasses) {
        if (!IsEqualCLSID(clsid, *entry.clsid)) continue;
        auto* factory = new (std::nothrow) CDsClassFactory(entry.create);
        if (factory == nullptr) return E_OUTOFMEMORY;
        const HRESULT hr = factory->QueryInterface(iid, object);
        factory->Release();
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return CDsClassFactory::CanUnloadNow(); }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    for (const ServerClass& entry : kClasses) {
        const HRESULT hr = RegisterInprocServer(*entry.clsid, entry.name, g_module);
        if (FAILED(hr)) return hr;
    }
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
    HRESULT result = UnregisterDsFilter(CLSID_Orrick);
    for (const ServerClass& entry : kClasses) {
        const HRESULT hr = UnregisterInprocServer(*entry.clsid);
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    return result;
}
