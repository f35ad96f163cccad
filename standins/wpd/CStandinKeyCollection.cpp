#include "standins/wpd/CStandinKeyCollection.h"

#include <new>

namespace standin {

HRESULT CStandinKeyCollection::Create(REFIID iid, void** result) {
    CStandinKeyCollection* keys = new (std::nothrow) CStandinKeyCollection();
    if (!keys) return E_OUTOFMEMORY;
    HRESULT hr = keys->QueryInterface(iid, result);
    keys->Release();
    return hr;
}

HRESULT CStandinKeyCollection::QueryInterface(REFIID iid, void** result) {
    if (!result) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPortableDeviceKeyCollection)) {
        *result = static_cast<IPortableDeviceKeyCollection*>(this);
        AddRef();
        return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
}

HRESULT CStandinKeyCollection::GetCount(DWORD* count) {
    if (!count) return E_POINTER;
    *count = static_cast<DWORD>(keys_.size());
    return S_OK;
}

HRESULT CStandinKeyCollection::GetAt(const DWORD index, PROPERTYKEY* key) {
    if (!key) return E_POINTER;
    if (index >= keys_.size()) return E_INVALIDARG;
    *key = keys_[index];
    return S_OK;
}

HRESULT CStandinKeyCollection::Add(REFPROPERTYKEY key) {
    keys_.push_back(key);
    return S_OK;
}

HRESULT CStandinKeyCollection::Clear() {
    keys_.clear();
    return S_OK;
}

HRESULT CStandinKeyCollection::RemoveAt(const DWORD index) {
    if (index >= keys_.size()) return E_INVALIDARG;
    keys_.erase(keys_.begin() + index);
    return S_OK;
}

}  // namespace standin
