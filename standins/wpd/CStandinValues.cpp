#include "standins/wpd/CStandinValues.h"

#include "platform/wpd/PortableDevice.h"

#include <new>

namespace standin {

namespace {
// What the platform answers for a key that the collection does not hold.
const HRESULT kNotFound = HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
}  // namespace

HRESULT CStandinValues::Create(REFIID iid, void** result) {
    CStandinValues* values = new (std::nothrow) CStandinValues();
    if (!values) return E_OUTOFMEMORY;
    HRESULT hr = values->QueryInterface(iid, result);
    values->Release();
    return hr;
}

HRESULT CStandinValues::CopyAll(IPortableDeviceValues* from, IPortableDeviceValues* to) {
    DWORD count = 0;
    HRESULT hr = from->GetCount(&count);
    for (DWORD i = 0; SUCCEEDED(hr) && i < count; ++i) {
        PROPERTYKEY key;
        PROPVARIANT value;
        PropVariantInit(&value);
        hr = from->GetAt(i, &key, &value);
        if (SUCCEEDED(hr)) hr = to->SetValue(key, &value);
        PropVariantClear(&value);
    }
    return hr;
}

CStandinValues::~CStandinValues() { Clear(); }

HRESULT CStandinValues::QueryInterface(REFIID iid, void** result) {
    if (!result) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPortableDeviceValues)) {
        *result = static_cast<IPortableDeviceValues*>(this);
        AddRef();
        return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
}

const PROPVARIANT* CStandinValues::Find(REFPROPERTYKEY key) const {
    for (const auto& entry : entries_) {
        if (IsSamePropertyKey(entry.first, key)) return &entry.second;
    }
    return nullptr;
}

HRESULT CStandinValues::FindTyped(REFPROPERTYKEY key, VARTYPE type, const PROPVARIANT** value) const {
    const PROPVARIANT* found = Find(key);
    if (!found) return kNotFound;
    // A key whose read failed on the device carries that failure; typed reads report it.
    if (found->vt == VT_ERROR && type != VT_ERROR) return found->scode;
    if (found->vt != type) return DISP_E_TYPEMISMATCH;
    *value = found;
    return S_OK;
}

HRESULT CStandinValues::GetCount(DWORD* count) {
    if (!count) return E_POINTER;
    *count = static_cast<DWORD>(entries_.size());
    return S_OK;
}

HRESULT CStandinValues::GetAt(const DWORD index, PROPERTYKEY* key, PROPVARIANT* value) {
    if (index >= entries_.size()) return E_INVALIDARG;
    if (key) *key = entries_[index].first;
    if (value) return PropVariantCopy(value, &entries_[index].second);
    return S_OK;
}

HRESULT CStandinValues::SetValue(REFPROPERTYKEY key, const PROPVARIANT* value) {
    if (!value) return E_POINTER;
    PROPVARIANT copy;
    PropVariantInit(&copy);
    HRESULT hr = PropVariantCopy(&copy, value);
    if (FAILED(hr)) return hr;
    for (auto& entry : entries_) {
        if (IsSamePropertyKey(entry.first, key)) {
            PropVariantClear(&entry.second);
            entry.second = copy;
            return S_OK;
        }
    }
    entries_.emplace_back(key, copy);
    return S_OK;
}

HRESULT CStandinValues::GetValue(REFPROPERTYKEY key, PROPVARIANT* value) {
    if (!value) return E_POINTER;
    PropVariantInit(value);
    const PROPVARIANT* found = Find(key);
    if (!found) return kNotFound;
    return PropVariantCopy(value, found);
}

HRESULT CStandinValues::SetStringValue(REFPROPERTYKEY key, LPCWSTR value) {
    if (!value) return E_POINTER;
    PROPVARIANT variant;
    PropVariantInit(&variant);
    variant.vt = VT_LPWSTR;
    variant.pwszVal = const_cast<LPWSTR>(value);
    return SetValue(key, &variant);
}

HRESULT CStandinValues::GetStringValue(REFPROPERTYKEY key, LPWSTR* value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    const PROPVARIANT* found = nullptr;
    HRESULT hr = FindTyped(key, VT_LPWSTR, &found);
    if (FAILED(hr)) return hr;
    *value = TaskString(found->pwszVal ? found->pwszVal : L"");
    return *value ? S_OK : E_OUTOFMEMORY;
}

#define STANDIN_SCALAR_ACCESSORS(Name, CType, Vt, Field)                               \
    HRESULT CStandinValues::Set##Name(REFPROPERTYKEY key, const CType value) {         \
        PROPVARIANT variant;                                                           \
        PropVariantInit(&variant);                                                     \
        variant.vt = Vt;                                                               \
        variant.Field = value;                                                         \
        return SetValue(key, &variant);                                                \
    }                                                                                  \
    HRESULT CStandinValues::Get##Name(REFPROPERTYKEY key, CType* value) {              \
        if (!value) return E_POINTER;                                                  \
        const PROPVARIANT* found = nullptr;                                            \
        HRESULT hr = FindTyped(key, Vt, &found);                                       \
        if (FAILED(hr)) return hr;                                                     \
        *value = found->Field;                                                         \
        return S_OK;                                                                   \
    }

STANDIN_SCALAR_ACCESSORS(UnsignedIntegerValue, ULONG, VT_UI4, ulVal)
STANDIN_SCALAR_ACCESSORS(SignedIntegerValue, LONG, VT_I4, lVal)
STANDIN_SCALAR_ACCESSORS(UnsignedLargeIntegerValue, ULONGLONG, VT_UI8, uhVal.QuadPart)
STANDIN_SCALAR_ACCESSORS(SignedLargeIntegerValue, LONGLONG, VT_I8, hVal.QuadPart)
STANDIN_SCALAR_ACCESSORS(FloatValue, FLOAT, VT_R4, fltVal)
STANDIN_SCALAR_ACCESSORS(ErrorValue, HRESULT, VT_ERROR, scode)
#undef STANDIN_SCALAR_ACCESSORS

// Keys are kept as a 20-byte buffer: the client never stores keys as values, and the stand-in
// needs only to give back what was set.
HRESULT CStandinValues::SetKeyValue(REFPROPERTYKEY key, REFPROPERTYKEY value) {
    return SetBufferValue(key, reinterpret_cast<BYTE*>(const_cast<PROPERTYKEY*>(&value)), sizeof(PROPERTYKEY));
}

HRESULT CStandinValues::GetKeyValue(REFPROPERTYKEY key, PROPERTYKEY* value) {
    if (!value) return E_POINTER;
    const PROPVARIANT* found = nullptr;
    HRESULT hr = FindTyped(key, VT_VECTOR | VT_UI1, &found);
    if (FAILED(hr)) return hr;
    if (found->caub.cElems != sizeof(PROPERTYKEY)) return DISP_E_TYPEMISMATCH;
    CopyMemory(value, found->caub.pElems, sizeof(PROPERTYKEY));
    return S_OK;
}

HRESULT CStandinValues::SetBoolValue(REFPROPERTYKEY key, const WINBOOL value) {
    PROPVARIANT variant;
    PropVariantInit(&variant);
    variant.vt = VT_BOOL;
    variant.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return SetValue(key, &variant);
}

HRESULT CStandinValues::GetBoolValue(REFPROPERTYKEY key, WINBOOL* value) {
    if (!value) return E_POINTER;
    const PROPVARIANT* found = nullptr;
    HRESULT hr = FindTyped(key, VT_BOOL, &found);
    if (FAILED(hr)) return hr;
    *value = found->boolVal != VARIANT_FALSE;
    return S_OK;
}

HRESULT CStandinValues::SetIUnknownValue(REFPROPERTYKEY key, IUnknown* value) {
    if (!value) return E_POINTER;
    PROPVARIANT variant;
    PropVariantInit(&variant);
    variant.vt = VT_UNKNOWN;
    variant.punkVal = value;
    return SetValue(key, &variant);
}

HRESULT CStandinValues::GetIUnknownValue(REFPROPERTYKEY key, IUnknown** value) {
    return GetInterface(key, IID_IUnknown, reinterpret_cast<void**>(value));
}

HRESULT CStandinValues::GetInterface(REFPROPERTYKEY key, REFIID iid, void** value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    const PROPVARIANT* found = nullptr;
    HRESULT hr = FindTyped(key, VT_UNKNOWN, &found);
    if (FAILED(hr)) return hr;
    if (!found->punkVal) return E_UNEXPECTED;
    return found->punkVal->QueryInterface(iid, value);
}

HRESULT CStandinValues::SetGuidValue(REFPROPERTYKEY key, REFGUID value) {
    PROPVARIANT variant;
    PropVariantInit(&variant);
    variant.vt = VT_CLSID;
    variant.puuid = const_cast<GUID*>(&value);
    return SetValue(key, &variant);
}

HRESULT CStandinValues::GetGuidValue(REFPROPERTYKEY key, GUID* value) {
    if (!value) return E_POINTER;
    const PROPVARIANT* found = nullptr;
    HRESULT hr = FindTyped(key, VT_CLSID, &found);
    if (FAILED(hr)) return hr;
    if (!found->puuid) return E_UNEXPECTED;
    *value = *found->puuid;
    return S_OK;
}

HRESULT CStandinValues::SetBufferValue(REFPROPERTYKEY key, BYTE* value, DWORD size) {
    if (!value && size != 0) return E_POINTER;
    PROPVARIANT variant;
    PropVariantInit(&variant);
    variant.vt = VT_VECTOR | VT_UI1;
    variant.caub.cElems = size;
    variant.caub.pElems = value;
    return SetValue(key, &variant);
}

HRESULT CStandinValues::GetBufferValue(REFPROPERTYKEY key, BYTE** value, DWORD* size) {
    if (!value || !size) return E_POINTER;
    *value = nullptr;
    *size = 0;
    const PROPVARIANT* found = nullptr;
    HRESULT hr = FindTyped(key, VT_VECTOR | VT_UI1, &found);
    if (FAILED(hr)) return hr;
    BYTE* copy = static_cast<BYTE*>(CoTaskMemAlloc(found->caub.cElems ? found->caub.cElems : 1));
    if (!copy) return E_OUTOFMEMORY;
    if (found->caub.cElems) CopyMemory(copy, found->caub.pElems, found->caub.cElems);
    *value = copy;
    *size = found->caub.cElems;
    return S_OK;
}

HRESULT CStandinValues::SetIPortableDeviceValuesValue(REFPROPERTYKEY key, IPortableDeviceValues* value) {
    return SetIUnknownValue(key, value);
}
HRESULT CStandinValues::GetIPortableDeviceValuesValue(REFPROPERTYKEY key, IPortableDeviceValues** value) {
    return GetInterface(key, IID_IPortableDeviceValues, reinterpret_cast<void**>(value));
}
HRESULT CStandinValues::SetIPortableDevicePropVariantCollectionValue(REFPROPERTYKEY key,
                                                                     IPortableDevicePropVariantCollection* value) {
    return SetIUnknownValue(key, value);
}
HRESULT CStandinValues::GetIPortableDevicePropVariantCollectionValue(REFPROPERTYKEY key,
                                                                     IPortableDevicePropVariantCollection** value) {
    return GetInterface(key, IID_IPortableDevicePropVariantCollection, reinterpret_cast<void**>(value));
}
HRESULT CStandinValues::SetIPortableDeviceKeyCollectionValue(REFPROPERTYKEY key,
                                                             IPortableDeviceKeyCollection* value) {
    return SetIUnknownValue(key, value);
}
HRESULT CStandinValues::GetIPortableDeviceKeyCollectionValue(REFPROPERTYKEY key,
                                                             IPortableDeviceKeyCollection** value) {
    return GetInterface(key, IID_IPortableDeviceKeyCollection, reinterpret_cast<void**>(value));
}
HRESULT CStandinValues::SetIPortableDeviceValuesCollectionValue(REFPROPERTYKEY key,
                                                                IPortableDeviceValuesCollection* value) {
    return SetIUnknownValue(key, value);
}
HRESULT CStandinValues::GetIPortableDeviceValuesCollectionValue(REFPROPERTYKEY key,
                                                                IPortableDeviceValuesCollection** value) {
    return GetInterface(key, IID_IPortableDeviceValuesCollection, reinterpret_cast<void**>(value));
}

HRESULT CStandinValues::RemoveValue(REFPROPERTYKEY key) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (IsSamePropertyKey(it->first, key)) {
            PropVariantClear(&it->second);
            entries_.erase(it);
            return S_OK;
        }
    }
    return kNotFound;
}

// The simulated player has no shell property stores to exchange values with.
HRESULT CStandinValues::CopyValuesFromPropertyStore(IPropertyStore*) { return E_NOTIMPL; }
HRESULT CStandinValues::CopyValuesToPropertyStore(IPropertyStore*) { return E_NOTIMPL; }

HRESULT CStandinValues::Clear() {
    for (auto& entry : entries_) PropVariantClear(&entry.second);
    entries_.clear();
    return S_OK;
}

}  // namespace standin
