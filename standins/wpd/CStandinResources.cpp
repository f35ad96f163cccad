#include "standins/wpd/CStandinResources.h"

#include "platform/wpd/PortableDevice.h"
#include "standins/wpd/CSimulatedPlayers.h"
#include "standins/wpd/CStandinKeyCollection.h"

#include <shlwapi.h>

namespace standin {

HRESULT CStandinResources::QueryInterface(REFIID iid, void** result) {
    if (!result) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPortableDeviceResources)) {
        *result = static_cast<IPortableDeviceResources*>(this);
        AddRef();
        return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
}

HRESULT CStandinResources::GetSupportedResources(LPCWSTR objectId, IPortableDeviceKeyCollection** keys) {
    if (!objectId || !keys) return E_POINTER;
    *keys = nullptr;
    CScopedComPtr<IPortableDeviceKeyCollection> result;
    HRESULT hr = CStandinKeyCollection::Create(IID_IPortableDeviceKeyCollection, reinterpret_cast<void**>(result.Receive()));
    if (FAILED(hr)) return hr;
    std::wstring path;
    if (SUCCEEDED(CSimulatedPlayers::Instance().DataFile(device_, objectId, &path))) result->Add(WPD_RESOURCE_DEFAULT);
    *keys = result.Detach();
    return S_OK;
}

// Resources of the simulated player carry no attributes beyond their data.
HRESULT CStandinResources::GetResourceAttributes(LPCWSTR, REFPROPERTYKEY, IPortableDeviceValues**) {
    return E_NOTIMPL;
}

HRESULT CStandinResources::GetStream(LPCWSTR objectId, REFPROPERTYKEY key, DWORD mode, DWORD* optimalBufferSize,
                                     IStream** stream) {
    if (!objectId || !optimalBufferSize || !stream) return E_POINTER;
    *stream = nullptr;
    if (!IsSamePropertyKey(key, WPD_RESOURCE_DEFAULT)) return HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED);
    // Data of an existing object is replaced by making a new object, never through its resource.
    if ((mode & (STGM_WRITE | STGM_READWRITE)) != 0) return STG_E_ACCESSDENIED;
    std::wstring path;
    HRESULT hr = CSimulatedPlayers::Instance().DataFile(device_, objectId, &path);
    if (FAILED(hr)) return hr;
    hr = SHCreateStreamOnFileEx(path.c_str(), STGM_READ | STGM_SHARE_DENY_NONE, FILE_ATTRIBUTE_NORMAL, FALSE,
                                nullptr, stream);
    if (SUCCEEDED(hr)) *optimalBufferSize = kOptimalBufferSize;
    return hr;
}

HRESULT CStandinResources::Delete(LPCWSTR, IPortableDeviceKeyCollection*) { return E_NOTIMPL; }
HRESULT CStandinResources::Cancel() { return S_OK; }
HRESULT CStandinResources::CreateResource(IPortableDeviceValues*, IStream**, DWORD*, LPWSTR*) { return E_NOTIMPL; }

}  // namespace standin
