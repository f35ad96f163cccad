#pragma once

#include "platform/wpd/PortableDeviceApi.h"
#include "standins/wpd/ComObject.h"

namespace standin {

// The list of attached simulated players (CLSID_PortableDeviceManager).
class CStandinManager final : public CComObject, public IPortableDeviceManager {
public:
    static HRESULT Create(REFIID iid, void** result);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    STANDIN_IUNKNOWN_REFCOUNT

    HRESULT STDMETHODCALLTYPE GetDevices(LPWSTR* deviceIds, DWORD* count) override;
    HRESULT STDMETHODCALLTYPE RefreshDeviceList() override;
    HRESULT STDMETHODCALLTYPE GetDeviceFriendlyName(LPCWSTR deviceId, WCHAR* text, DWORD* length) override;
    HRESULT STDMETHODCALLTYPE GetDeviceDescription(LPCWSTR deviceId, WCHAR* text, DWORD* length) override;
    HRESULT STDMETHODCALLTYPE GetDeviceManufacturer(LPCWSTR deviceId, WCHAR* text, DWORD* length) override;
    HRESULT STDMETHODCALLTYPE GetDeviceProperty(LPCWSTR deviceId, LPCWSTR name, BYTE* data, DWORD* size,
                                                DWORD* type) override;
    HRESULT STDMETHODCALLTYPE GetPrivateDevices(LPWSTR* deviceIds, DWORD* count) override;
};

}  // namespace standin
