#pragma once
// The class object of one coclass, for an in-process server (handed out by DllGetClassObject) or a
// local server (registered with CoRegisterClassObject by CClassObjectRegistrar).

#include "platform/com/CApplicationLock.h"

#include <windows.h>
#include <unknwn.h>

#include <atomic>
#include <cstddef>

// Makes a new object; outer is the controlling unknown when the object is to be aggregated (the
// function refuses with CLASS_E_NOAGGREGATION when its class does not support that).
using CreateInstanceFn = HRESULT (*)(IUnknown* outer, REFIID iid, void** result);

struct ClassEntry {
    const CLSID* clsid;
    CreateInstanceFn create;
};

class CClassFactory final : public IClassFactory {
public:
    // holdsLock: an in-process server's factory keeps the module loaded while a client holds it;
    // a local server's registered class object must not, or the server could never end.
    CClassFactory(CreateInstanceFn create, CApplicationLock& lock, bool holdsLock);
    ~CClassFactory();
    CClassFactory(const CClassFactory&) = delete;
    CClassFactory& operator=(const CClassFactory&) = delete;

    // DllGetClassObject of an in-process server over its class table.
    static HRESULT GetClassObject(const ClassEntry* classes, size_t count, REFCLSID clsid, REFIID iid,
                                  void** result, CApplicationLock& lock = CApplicationLock::Process());

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** result) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    CreateInstanceFn create_;
    CApplicationLock& lock_;
    bool holdsLock_;
    std::atomic<LONG> references_{1};
};
