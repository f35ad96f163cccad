#include "standins/wpd/CStandinContent.h"

#include "standins/wpd/CSimulatedPlayers.h"
#include "standins/wpd/CStandinObjectEnum.h"
#include "standins/wpd/CStandinProperties.h"
#include "standins/wpd/CStandinPropVariantCollection.h"
#include "standins/wpd/CStandinResources.h"
#include "standins/wpd/CStandinUploadStream.h"

#include <new>

namespace standin {

HRESULT CStandinContent::QueryInterface(REFIID iid, void** result) {
    if (!result) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPortableDeviceContent)) {
        *result = static_cast<IPortableDeviceContent*>(this);
        AddRef();
        return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
}

HRESULT CStandinContent::EnumObjects(DWORD, LPCWSTR parentId, IPortableDeviceValues*,
                                     IEnumPortableDeviceObjectIDs** enumerator) {
    if (!parentId || !enumerator) return E_POINTER;
    *enumerator = nullptr;
    std::vector<std::wstring> ids;
    HRESULT hr = CSimulatedPlayers::Instance().Children(device_, parentId, &ids);
    if (FAILED(hr)) return hr;
    CStandinObjectEnum* result = new (std::nothrow) CStandinObjectEnum(std::move(ids));
    if (!result) return E_OUTOFMEMORY;
    *enumerator = result;
    return S_OK;
}

HRESULT CStandinContent::Properties(IPortableDeviceProperties** properties) {
    if (!properties) return E_POINTER;
    *properties = new (std::nothrow) CStandinProperties(device_);
    return *properties ? S_OK : E_OUTOFMEMORY;
}

HRESULT CStandinContent::Transfer(IPortableDeviceResources** resources) {
    if (!resources) return E_POINTER;
    *resources = new (std::nothrow) CStandinResources(device_);
    return *resources ? S_OK : E_OUTOFMEMORY;
}

HRESULT CStandinContent::CreateObjectWithPropertiesOnly(IPortableDeviceValues* values, LPWSTR* objectId) {
    if (!values) return E_POINTER;
    std::wstring id;
    HRESULT hr = CSimulatedPlayers::Instance().CreateObject(device_, values, std::wstring(), 0, &id);
    if (FAILED(hr)) return hr;
    if (objectId) {
        *objectId = TaskString(id.c_str());
        if (!*objectId) return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CStandinContent::CreateObjectWithPropertiesAndData(IPortableDeviceValues* values, IStream** data,
                                                           DWORD* optimalWriteBufferSize, LPWSTR* cookie) {
    if (!values || !data || !optimalWriteBufferSize) return E_POINTER;
    *data = nullptr;
    if (cookie) *cookie = nullptr;
    HRESULT hr = CStandinUploadStream::Create(device_, values, data);
    if (SUCCEEDED(hr)) *optimalWriteBufferSize = CStandinResources::kOptimalBufferSize;
    return hr;
}

HRESULT CStandinContent::Delete(DWORD options, IPortableDevicePropVariantCollection* objectIds,
                                IPortableDevicePropVariantCollection** results) {
    if (!objectIds) return E_POINTER;
    CScopedComPtr<IPortableDevicePropVariantCollection> outcome;
    if (results) {
        *results = nullptr;
        HRESULT hr = CStandinPropVariantCollection::Create(IID_IPortableDevicePropVariantCollection,
                                                           reinterpret_cast<void**>(outcome.Receive()));
        if (FAILED(hr)) return hr;
    }
    DWORD count = 0;
    objectIds->GetCount(&count);
    HRESULT overall = S_OK;
    for (DWORD i = 0; i < count; ++i) {
        PROPVARIANT id;
        PropVariantInit(&id);
        HRESULT hr = objectIds->GetAt(i, &id);
        if (SUCCEEDED(hr)) {
            hr = id.vt == VT_LPWSTR && id.pwszVal
                     ? CSimulatedPlayers::Instance().Delete(device_, id.pwszVal,
                                                            options == PORTABLE_DEVICE_DELETE_WITH_RECURSION)
                     : E_INVALIDARG;
        }
        PropVariantClear(&id);
        if (outcome.Get()) {
            PROPVARIANT code;
            PropVariantInit(&code);
            code.vt = VT_ERROR;
            code.scode = hr;
            outcome->Add(&code);
        }
        // One id: its own answer; several: S_FALSE when any of them failed.
        if (FAILED(hr)) overall = count == 1 ? hr : S_FALSE;
    }
    if (results) *results = outcome.Detach();
    return overall;
}

// Persistent ids, moves and copies are beyond what the simulated player offers.
HRESULT CStandinContent::GetObjectIDsFromPersistentUniqueIDs(IPortableDevicePropVariantCollection*,
                                                             IPortableDevicePropVariantCollection**) {
    return E_NOTIMPL;
}
HRESULT CStandinContent::Cancel() { return S_OK; }
HRESULT CStandinContent::Move(IPortableDevicePropVariantCollection*, LPCWSTR, IPortableDevicePropVariantCollection**) {
    return E_NOTIMPL;
}
HRESULT CStandinContent::Copy(IPortableDevicePropVariantCollection*, LPCWSTR, IPortableDevicePropVariantCollection**) {
    return E_NOTIMPL;
}

}  // namespace standin
