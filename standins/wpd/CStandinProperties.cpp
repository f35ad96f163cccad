#include "standins/wpd/CStandinProperties.h"

#include "standins/wpd/CSimulatedPlayers.h"
#include "standins/wpd/CStandinKeyCollection.h"

namespace standin {

HRESULT CStandinProperties::QueryInterface(REFIID iid, void** result) {
    if (!result) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPortableDeviceProperties)) {
        *result = static_cast<IPortableDeviceProperties*>(this);
        AddRef();
        return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
}

HRESULT CStandinProperties::GetSupportedProperties(LPCWSTR objectId, IPortableDeviceKeyCollection** keys) {
    if (!objectId || !keys) return E_POINTER;
    *keys = nullptr;
    CScopedComPtr<IPortableDeviceValues> values;
    HRESULT hr = CSimulatedPlayers::Instance().GetValues(device_, objectId, nullptr, values.Receive());
    if (FAILED(hr)) return hr;
    CScopedComPtr<IPortableDeviceKeyCollection> result;
    hr = CStandinKeyCollection::Create(IID_IPortableDeviceKeyCollection, reinterpret_cast<void**>(result.Receive()));
    if (FAILED(hr)) return hr;
    DWORD count = 0;
    values->GetCount(&count);
    for (DWORD i = 0; i < count; ++i) {
        PROPERTYKEY key;
        if (SUCCEEDED(values->GetAt(i, &key, nullptr))) result->Add(key);
    }
    *keys = result.Detach();
    return S_OK;
}

// The simulated player keeps no attributes (forms, ranges, access) of its properties.
HRESULT CStandinProperties::GetPropertyAttributes(LPCWSTR, REFPROPERTYKEY, IPortableDeviceValues**) {
    return E_NOTIMPL;
}

HRESULT CStandinProperties::GetValues(LPCWSTR objectId, IPortableDeviceKeyCollection* keys,
                                      IPortableDeviceValues** values) {
    if (!objectId || !values) return E_POINTER;
    *values = nullptr;
    return CSimulatedPlayers::Instance().GetValues(device_, objectId, keys, values);
}

HRESULT CStandinProperties::SetValues(LPCWSTR objectId, IPortableDeviceValues* values,
                                      IPortableDeviceValues** results) {
    if (!objectId || !values) return E_POINTER;
    if (results) *results = nullptr;
    return CSimulatedPlayers::Instance().SetValues(device_, objectId, values, results);
}

// Properties of an object live as long as the object on this player.
HRESULT CStandinProperties::Delete(LPCWSTR, IPortableDeviceKeyCollection*) { return E_NOTIMPL; }

HRESULT CStandinProperties::Cancel() { return S_OK; }

}  // namespace standin
