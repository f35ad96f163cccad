#include "standins/wpd/CStandinManager.h"

#include "standins/wpd/CSimulatedPlayers.h"
#include "standins/wpd/PresetPlayers.h"

#include <new>

namespace standin {

namespace {

// The platform's text getters: a null buffer asks for the length (with the terminator).
HRESULT CopyText(const std::wstring& value, WCHAR* text, DWORD* length) {
    DWORD needed = static_cast<DWORD>(value.size() + 1);
    if (!text) {
        *length = needed;
        return S_OK;
    }
    if (*length < needed) {
        *length = needed;
        return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    }
    CopyMemory(text, value.c_str(), needed * sizeof(WCHAR));
    *length = needed;
    return S_OK;
}

HRESULT DeviceText(LPCWSTR deviceId, CSimulatedPlayers::Text which, WCHAR* text, DWORD* length) {
    if (!deviceId || !length) return E_POINTER;
    std::wstring value;
    if (!CSimulatedPlayers::Instance().DeviceText(deviceId, which, &value)) {
        return HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
    }
    return CopyText(value, text, length);
}

}  // namespace

HRESULT CStandinManager::Create(REFIID iid, void** result) {
    AttachPresetPlayers();
    CStandinManager* manager = new (std::nothrow) CStandinManager();
    if (!manager) return E_OUTOFMEMORY;
    HRESULT hr = manager->QueryInterface(iid, result);
    manager->Release();
    return hr;
}

HRESULT CStandinManager::QueryInterface(REFIID iid, void** result) {
    if (!result) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPortableDeviceManager)) {
        *result = static_cast<IPortableDeviceManager*>(this);
        AddRef();
        return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
}

HRESULT CStandinManager::GetDevices(LPWSTR* deviceIds, DWORD* count) {
    if (!count) return E_POINTER;
    std::vector<std::wstring> ids = CSimulatedPlayers::Instance().AttachedIds();
    if (!deviceIds) {
        *count = static_cast<DWORD>(ids.size());
        return S_OK;
    }
    DWORD given = 0;
    while (given < *count && given < ids.size()) {
        deviceIds[given] = TaskString(ids[given].c_str());
        if (!deviceIds[given]) {
            for (DWORD i = 0; i < given; ++i) CoTaskMemFree(deviceIds[i]);
            *count = 0;
            return E_OUTOFMEMORY;
        }
        ++given;
    }
    *count = given;
    return S_OK;
}

HRESULT CStandinManager::RefreshDeviceList() { return S_OK; }

HRESULT CStandinManager::GetDeviceFriendlyName(LPCWSTR deviceId, WCHAR* text, DWORD* length) {
    return DeviceText(deviceId, CSimulatedPlayers::Text::FriendlyName, text, length);
}

HRESULT CStandinManager::GetDeviceDescription(LPCWSTR deviceId, WCHAR* text, DWORD* length) {
    return DeviceText(deviceId, CSimulatedPlayers::Text::Description, text, length);
}

HRESULT CStandinManager::GetDeviceManufacturer(LPCWSTR deviceId, WCHAR* text, DWORD* length) {
    return DeviceText(deviceId, CSimulatedPlayers::Text::Manufacturer, text, length);
}

// Simulated players have no Plug and Play registry properties.
HRESULT CStandinManager::GetDeviceProperty(LPCWSTR, LPCWSTR, BYTE*, DWORD*, DWORD*) {
    return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
}

HRESULT CStandinManager::GetPrivateDevices(LPWSTR*, DWORD* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

}  // namespace standin
