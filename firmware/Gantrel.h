#pragma once
// The firmware library's exports and the record it reports each connected player in. Callers load
// the library by name and bind the exports; every export uses the C calling convention.

#include <windows.h>

#include <cstddef>

// One connected player as the caller sees it; the layout crosses the library boundary in arrays
// the caller allocates, so every field sits at a fixed offset.
struct DEVICE_INFO {
    DWORD vendorId;
    DWORD productId;
    WCHAR serial[33];
    WCHAR productCode[65];
    WCHAR modelKey[129];
    WCHAR firmwareVersion[5];
    WCHAR secondVersion[5];
    WCHAR modelName[65];
    DWORD transport;  // kTransportMassStorage or kTransportMtp
};

static_assert(sizeof(DEVICE_INFO) == 616, "DEVICE_INFO is 616 bytes");
static_assert(offsetof(DEVICE_INFO, vendorId) == 0, "vendor id at 0");
static_assert(offsetof(DEVICE_INFO, productId) == 4, "product id at 4");
static_assert(offsetof(DEVICE_INFO, serial) == 8, "serial at 8");
static_assert(offsetof(DEVICE_INFO, productCode) == 74, "product code at 74");
static_assert(offsetof(DEVICE_INFO, modelKey) == 204, "model key at 204");
static_assert(offsetof(DEVICE_INFO, firmwareVersion) == 462, "firmware version at 462");
static_assert(offsetof(DEVICE_INFO, secondVersion) == 472, "second version at 472");
static_assert(offsetof(DEVICE_INFO, modelName) == 482, "model name at 482");
static_assert(offsetof(DEVICE_INFO, transport) == 612, "transport at 612");

constexpr DWORD kTransportMassStorage = 0;
constexpr DWORD kTransportMtp = 1;

extern "C" {
HRESULT __cdecl CheckVersion(const wchar_t* a, const wchar_t* b);
HRESULT __cdecl CopyFirmwareBinary(DWORD vendorId, DWORD productId, const wchar_t* serial, const wchar_t* firmwareFile,
                                   const wchar_t* path, BOOL createFolders);
HRESULT __cdecl DeleteFirmwareBinary(DWORD vendorId, DWORD productId, const wchar_t* serial, const wchar_t* path);
HRESULT __cdecl GetDeviceCount(int* count);
HRESULT __cdecl GetDeviceInfo(DEVICE_INFO* records, unsigned count);
HRESULT __cdecl GetDevices(void);
HRESULT __cdecl GetModuleName(wchar_t* buffer, size_t size);
HRESULT __cdecl SendUpdateCommand(DWORD vendorId, DWORD productId, const wchar_t* serial);
}
