// The entry points of one stand-in module; CMake builds this file once per module with
// CDDB_STANDIN_MODULE 0 control, 1 UI, 2 music identification, 3 link.
#include <windows.h>

#include "library/cdlookup/CddbSdkInterfaces.h"
#include "standins/cdlookup/CddbStandinObjects.h"
#include "standins/cdlookup/CddbStandinScript.h"

using namespace cddb_standin;

namespace {

bool ServesClass(REFCLSID classId) {
#if CDDB_STANDIN_MODULE == 0
    return IsEqualCLSID(classId, CLSID_CddbControl);
#elif CDDB_STANDIN_MODULE == 2
    return IsEqualCLSID(classId, CLSID_CddbMusicId);
#elif CDDB_STANDIN_MODULE == 3
    return IsEqualCLSID(classId, CLSID_CddbLink);
#else
    (void)classId;
    return false;
#endif
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    // A control module that fails to load, as a broken installation would.
    if (reason == DLL_PROCESS_ATTACH && CDDB_STANDIN_MODULE == 0 && IsMode(L"noload")) return FALSE;
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetObject(REFCLSID classId, REFIID interfaceId, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!ServesClass(classId)) return CLASS_E_CLASSNOTAVAILABLE;
    IUnknown* created = CreateObject(classId);
    if (created == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = created->QueryInterface(interfaceId, object);
    created->Release();
    return hr;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID classId, REFIID interfaceId, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!ServesClass(classId)) return CLASS_E_CLASSNOTAVAILABLE;
    // A faulty module that claims success without an object.
    if (IsMode(L"nullobject")) return S_OK;
    IClassFactory* factory = CreateFactory(classId);
    if (factory == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(interfaceId, object);
    factory->Release();
    return hr;
}

extern "C" HRESULT WINAPI DllDisableCOMFallover(BOOL disable) {
    Append(L"QB_CDDB_STANDIN_FALLOVER", disable ? L"1" : L"0");
    return S_OK;
}

#if CDDB_STANDIN_MODULE == 0
extern "C" HRESULT WINAPI DllSetCddbUIHINST(HINSTANCE module) {
    g_peerModule = module;
    return S_OK;
}
#else
extern "C" HRESULT WINAPI DllSetCddbHINST(HINSTANCE module) {
    g_peerModule = module;
    return S_OK;
}
#endif
