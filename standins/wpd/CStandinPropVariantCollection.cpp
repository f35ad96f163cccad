#include "standins/wpd/CStandinPropVariantCollection.h"

#include <new>

namespace standin {

HRESULT CStandinPropVariantCollection::Create(REFIID iid, void** result) {
    CStandinPropVariantCollection* values = new (std::nothrow) CStandinPropVariantCollection();
    if (!values) return E_OUTOFMEMORY;
    HRESULT hr = values->QueryInterface(iid, result);
    values->Release();
    return hr;
}

CStandinPropVariantCollection::~CStandinPropVariantCollection() { Clear(); }

HRESULT CStandinPropVariantCollection::QueryInterface(REFIID iid, void** result) {
    if (!result) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPortableDevicePropVariantCollection)) {
        *result = static_cast<IPortableDevicePropVariantCollection*>(this);
        AddRef();
        return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
}

HRESULT CStandinPropVariantCollection::GetCount(DWORD* count) {
    if (!count) return E_POINTER;
    *count = static_cast<DWORD>(values_.size());
    return S_OK;
}

HRESULT CStandinPropVariantCollection::GetAt(const DWORD index, PROPVARIANT* value) {
    if (!value) return E_POINTER;
    if (index >= values_.size()) return E_INVALIDARG;
    return PropVariantCopy(value, &values_[index]);
}

HRESULT CStandinPropVariantCollection::Add(const PROPVARIANT* value) {
    if (!value) return E_POINTER;
    PROPVARIANT copy;
    PropVariantInit(&copy);
    HRESULT hr = PropVariantCopy(&copy, value);
    if (FAILED(hr)) return hr;
    values_.push_back(copy);
    return S_OK;
}

HRESULT CStandinPropVariantCollection::GetType(VARTYPE* type) {
    if (!type) return E_POINTER;
    *type = values_.empty() ? static_cast<VARTYPE>(VT_EMPTY) : values_.front().vt;
    return S_OK;
}

// The lists here only ever hold object ids; a conversion is refused unless nothing changes.
HRESULT CStandinPropVariantCollection::ChangeType(const VARTYPE type) {
    for (const PROPVARIANT& value : values_) {
        if (value.vt != type) return E_NOTIMPL;
    }
    return S_OK;
}

HRESULT CStandinPropVariantCollection::Clear() {
    for (PROPVARIANT& value : values_) PropVariantClear(&value);
    values_.clear();
    return S_OK;
}

HRESULT CStandinPropVariantCollection::RemoveAt(const DWORD index) {
    if (index >= values_.size()) return E_INVALIDARG;
    PropVariantClear(&values_[index]);
    values_.erase(values_.begin() + index);
    return S_OK;
}

}  // namespace standin
