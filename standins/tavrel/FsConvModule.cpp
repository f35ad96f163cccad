// Entry points of the sample-rate conversion stand-in's server.
#include <windows.h>

#include <new>

#include "platform/dshow/ClassFactory.h"
#include "standins/tavrel/FsConvFilter.h"

namespace {

HMODULE g_module = nullptr;

CDsUnknown* CreateFsConv(IUnknown* outer, HRESULT*) { return new (std::nothrow) CFsConvFilter(outer); }

const DsServerClass kClasses[] = {
    {&CLSID_TavrelFsConvFilter, L"Sample-rate conversion stand-in", CreateFsConv},
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

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() { return DsRegisterServerClasses(kClasses, ARRAYSIZE(kClasses), g_module); }

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() { return DsUnregisterServerClasses(kClasses, ARRAYSIZE(kClasses)); }
