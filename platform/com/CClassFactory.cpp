#include "platform/com/CClassFactory.h"

#include "library/util/ScopedCom.h"
#include "platform/com/InterfaceTable.h"

#include <new>

CClassFactory::CClassFactory(CreateInstanceFn create, CApplicationLock& lock, bool holdsLock)
    : create_(create), lock_(lock), holdsLock_(holdsLock) {
    if (holdsLock_) lock_.Lock();
}

CClassFactory::~CClassFactory() {
    if (holdsLock_) lock_.Unlock();
}

HRESULT CClassFactory::GetClassObject(const ClassEntry* classes, size_t count, REFCLSID clsid, REFIID iid,
                                      void** result, CApplicationLock& lock) {
    if (!result) return E_POINTER;
    *result = nullptr;
    for (size_t index = 0; index < count; ++index) {
        if (!IsEqualCLSID(clsid, *classes[index].clsid)) continue;
        CScopedComPtr<CClassFactory> factory(new (std::nothrow) CClassFactory(classes[index].create, lock, true));
        if (!factory) return E_OUTOFMEMORY;
        return factory->QueryInterface(iid, result);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT STDMETHODCALLTYPE CClassFactory::QueryInterface(REFIID iid, void** result) {
    static const InterfaceEntry<CClassFactory> kInterfaces[] = {
        {&IID_IClassFactory, [](CClassFactory* self) -> IUnknown* { return static_cast<IClassFactory*>(self); }},
    };
    return QueryInterfaceFromTable(this, kInterfaces, iid, result);
}

ULONG STDMETHODCALLTYPE CClassFactory::AddRef() { return static_cast<ULONG>(++references_); }

ULONG STDMETHODCALLTYPE CClassFactory::Release() {
    LONG left = --references_;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE CClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    // An aggregated object hands its outer object nothing but its own IUnknown.
    if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    try {
        return create_(outer, iid, result);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT STDMETHODCALLTYPE CClassFactory::LockServer(BOOL lock) {
    if (lock) {
        lock_.Lock();
    } else {
        lock_.Unlock();
    }
    return S_OK;
}
