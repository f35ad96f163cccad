#pragma once
// The class factory and registration helpers of an in-process server of filters.

#include <windows.h>
#include <unknwn.h>

#include <atomic>
#include <cstddef>

class CDsUnknown;

// Makes a new object (count 0) for the given outer unknown; null when memory runs out.
typedef CDsUnknown* (*DsCreateInstance)(IUnknown* outer, HRESULT* hr);

class CDsClassFactory : public IClassFactory {
public:
    explicit CDsClassFactory(DsCreateInstance create);
    virtual ~CDsClassFactory();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

    // S_OK when no object and no lock keeps the module loaded.
    static HRESULT CanUnloadNow();

private:
    std::atomic<LONG> refs_{1};
    DsCreateInstance create_;
};

// Writes CLSID\{clsid} with its name and InprocServer32 (this module, threading model Both).
HRESULT RegisterInprocServer(REFCLSID clsid, const wchar_t* name, HMODULE module);
HRESULT UnregisterInprocServer(REFCLSID clsid);

// One class a server makes, for the table its entry points walk.
struct DsServerClass {
    const CLSID* clsid;
    const wchar_t* name;
    DsCreateInstance create;
};

// DllGetClassObject over a table: a factory of the matching class, CLASS_E_CLASSNOTAVAILABLE else.
HRESULT DsGetClassObject(const DsServerClass* classes, size_t count, REFCLSID clsid, REFIID iid, void** object);
// Writes (or removes) the server key of every class of the table.
HRESULT DsRegisterServerClasses(const DsServerClass* classes, size_t count, HMODULE module);
HRESULT DsUnregisterServerClasses(const DsServerClass* classes, size_t count);

// The five entry points of a server whose classes need no registration beyond their server keys
// (DllMain keeps the module handle the registration writes).
#define QB_DS_PLAIN_SERVER_ENTRY_POINTS(classes)                                                              \
    static HMODULE g_dsServerModule = nullptr;                                                                \
    extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {                                \
        if (reason == DLL_PROCESS_ATTACH) {                                                                   \
            g_dsServerModule = instance;                                                                      \
            DisableThreadLibraryCalls(instance);                                                              \
        }                                                                                                     \
        return TRUE;                                                                                          \
    }                                                                                                         \
    extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {          \
        return DsGetClassObject(classes, ARRAYSIZE(classes), clsid, iid, object);                             \
    }                                                                                                         \
    extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return CDsClassFactory::CanUnloadNow(); }           \
    extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {                                                   \
        return DsRegisterServerClasses(classes, ARRAYSIZE(classes), g_dsServerModule);                        \
    }                                                                                                         \
    extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() { return DsUnregisterServerClasses(classes, ARRAYSIZE(classes)); }
