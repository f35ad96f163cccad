#include "platform/com/CClassObjectRegistrar.h"

#include "library/util/ScopedCom.h"

#include <new>

HRESULT CClassObjectRegistrar::Register(const ClassEntry* classes, size_t count, CApplicationLock& lock) {
    Revoke();
    for (size_t index = 0; index < count; ++index) {
        CScopedComPtr<CClassFactory> factory(new (std::nothrow) CClassFactory(classes[index].create, lock, false));
        HRESULT hr = factory ? S_OK : E_OUTOFMEMORY;
        DWORD cookie = 0;
        if (SUCCEEDED(hr)) {
            hr = CoRegisterClassObject(*classes[index].clsid, factory.Get(), CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                                       &cookie);
        }
        if (FAILED(hr)) {
            Revoke();
            return hr;
        }
        cookies_.push_back(cookie);
    }
    return S_OK;
}

void CClassObjectRegistrar::Revoke() {
    for (DWORD cookie : cookies_) CoRevokeClassObject(cookie);
    cookies_.clear();
}
