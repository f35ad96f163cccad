#include "updater/ostrim/GantrelLibrary.h"

#include <cstdlib>
#include <cwchar>

#include "updater/ostrim/UpdateClock.h"

namespace {

// The player needs this long with the copied file before it accepts the update command.
constexpr DWORD kSettleBeforeCommandMs = 10000;

template <typename Function>
bool BindExport(HMODULE module, const char* name, Function& function) {
    FARPROC address = GetProcAddress(module, name);
    if (address == nullptr) return false;
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(address));
    return true;
}

}  // namespace

HRESULT CGantrelLibrary::Load(const wchar_t* moduleName) {
    Unload();
    m_module = LoadLibraryW(moduleName);
    if (m_module == nullptr) return HRESULT_FROM_WIN32(GetLastError());
    GantrelExports exports;
    if (!BindExport(m_module, "GetDevices", exports.getDevices) ||
        !BindExport(m_module, "GetDeviceCount", exports.getDeviceCount) ||
        !BindExport(m_module, "GetDeviceInfo", exports.getDeviceInfo) ||
        !BindExport(m_module, "CopyFirmwareBinary", exports.copyFirmwareBinary) ||
        !BindExport(m_module, "SendUpdateCommand", exports.sendUpdateCommand) ||
        !BindExport(m_module, "DeleteFirmwareBinary", exports.deleteFirmwareBinary) ||
        !BindExport(m_module, "CheckVersion", exports.checkVersion)) {
        FreeLibrary(m_module);
        m_module = nullptr;
        return E_FAIL;
    }
    m_exports = exports;
    m_bound = true;
    return S_OK;
}

void CGantrelLibrary::Attach(const GantrelExports& exports) {
    Unload();
    m_exports = exports;
    m_bound = true;
}

void CGantrelLibrary::Unload() {
    if (m_module != nullptr) FreeLibrary(m_module);
    m_module = nullptr;
    m_bound = false;
    m_exports = GantrelExports();
}

HRESULT CGantrelLibrary::GetSinglePlayerInfo(DEVICE_INFO* info) {
    ZeroMemory(info, sizeof(*info));
    if (!m_bound) return E_HANDLE;
    HRESULT hr = m_exports.getDevices();
    if (FAILED(hr)) return hr;
    int count = 0;
    hr = m_exports.getDeviceCount(&count);
    if (FAILED(hr)) return hr;
    if (count > 1) return kSeveralPlayers;
    if (count < 1) return kNoPlayer;
    return m_exports.getDeviceInfo(info, 1);
}

HRESULT CGantrelLibrary::UpdateFirmware(DWORD vendorId, DWORD productId, const wchar_t* serial,
                                        const wchar_t* firmwareFile) {
    if (!m_bound) return E_HANDLE;
    if (firmwareFile == nullptr || *firmwareFile == L'\0') return E_INVALIDARG;
    wchar_t name[256] = {};
    wchar_t extension[256] = {};
    if (_wsplitpath_s(firmwareFile, nullptr, 0, nullptr, 0, name, 256, extension, 256) != 0) return E_INVALIDARG;
    targetPath = std::wstring(L"\\") + name + extension;
    HRESULT hr = m_exports.copyFirmwareBinary(vendorId, productId, serial, firmwareFile, targetPath.c_str(), FALSE);
    if (hr == 1) return kNoPlayer;
    if (FAILED(hr)) return hr;
    m_clock.Sleep(kSettleBeforeCommandMs);
    return m_exports.sendUpdateCommand(vendorId, productId, serial);
}

HRESULT CGantrelLibrary::CheckSamePlayer(const DEVICE_INFO& stored) {
    if (!m_bound) return E_HANDLE;
    DEVICE_INFO current;
    if (FAILED(GetSinglePlayerInfo(&current))) return 1;
    if (current.vendorId != stored.vendorId || current.productId != stored.productId) return 1;
    if (wcsncmp(current.serial, stored.serial, ARRAYSIZE(stored.serial)) != 0) return 1;
    return 0;
}
