#include "standins/wpd/CStandinDevice.h"

#include "standins/wpd/CSimulatedPlayers.h"
#include "standins/wpd/CStandinContent.h"

#include <new>

namespace standin {

HRESULT CStandinDevice::Create(REFIID iid, void** result) {
    CStandinDevice* device = new (std::nothrow) CStandinDevice();
    if (!device) return E_OUTOFMEMORY;
    HRESULT hr = device->QueryInterface(iid, result);
    device->Release();
    return hr;
}

HRESULT CStandinDevice::QueryInterface(REFIID iid, void** result) {
    if (!result) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPortableDevice)) {
        *result = static_cast<IPortableDevice*>(this);
        AddRef();
        return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
}

HRESULT CStandinDevice::Open(LPCWSTR deviceId, IPortableDeviceValues*) {
    if (!deviceId) return E_POINTER;
    if (!device_.empty()) return E_WPD_DEVICE_ALREADY_OPENED;
    HRESULT failure = S_OK;
    if (CSimulatedPlayers::Instance().TakeFault(Fault::Open, &failure)) return failure;
    if (!CSimulatedPlayers::Instance().IsAttached(deviceId)) return HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
    device_ = deviceId;
    return S_OK;
}

// Of the driver commands the simulated player answers only vendor operations; everything else the
// client reaches through Content.
HRESULT CStandinDevice::SendCommand(DWORD, IPortableDeviceValues* parameters, IPortableDeviceValues** results) {
    if (results) *results = nullptr;
    if (device_.empty()) return E_WPD_DEVICE_NOT_OPEN;
    return vendor_.Execute(device_, parameters, results);
}

HRESULT CStandinDevice::Content(IPortableDeviceContent** content) {
    if (!content) return E_POINTER;
    *content = nullptr;
    if (device_.empty()) return E_WPD_DEVICE_NOT_OPEN;
    *content = new (std::nothrow) CStandinContent(device_);
    return *content ? S_OK : E_OUTOFMEMORY;
}

HRESULT CStandinDevice::Capabilities(IPortableDeviceCapabilities** capabilities) {
    if (capabilities) *capabilities = nullptr;
    return E_NOTIMPL;
}

HRESULT CStandinDevice::Cancel() { return S_OK; }

HRESULT CStandinDevice::Close() {
    device_.clear();
    return S_OK;
}

HRESULT CStandinDevice::Advise(DWORD, IPortableDeviceEventCallback*, IPortableDeviceValues*, LPWSTR* cookie) {
    if (cookie) *cookie = nullptr;
    return E_NOTIMPL;
}

HRESULT CStandinDevice::Unadvise(LPCWSTR) { return E_NOTIMPL; }

HRESULT CStandinDevice::GetPnPDeviceID(LPWSTR* deviceId) {
    if (!deviceId) return E_POINTER;
    *deviceId = nullptr;
    if (device_.empty()) return E_WPD_DEVICE_NOT_OPEN;
    *deviceId = TaskString(device_.c_str());
    return *deviceId ? S_OK : E_OUTOFMEMORY;
}

}  // namespace standin
