#pragma once
// The MTP side: players reached through the portable-device platform, identified and told to
// update through the maker's vendor operations.

#include <windows.h>

// Fills MTPTornelleList from a fresh scan of the platform's devices.
void FindMTPTornelle();
bool HasMtpPlayer(DWORD vendorId, DWORD productId, const wchar_t* serial);
// 0 copied, 1 no player with this key, E_OUTOFMEMORY image too large, other failures.
HRESULT CopyFirmwareBinaryMTP(DWORD vendorId, DWORD productId, const wchar_t* serial, const wchar_t* firmwareFile,
                              const wchar_t* path, BOOL createFolders);
HRESULT TransferFirmwareFileMTP(const wchar_t* path, const wchar_t* deviceId, BOOL createFolders,
                                const wchar_t* firmwareFile);
// 0 when every matching player took the operation (or none matched), E_FAIL otherwise.
HRESULT SendUpdateCommandMTP(DWORD vendorId, DWORD productId, const wchar_t* serial);
HRESULT DeleteFirmwareBinaryMTP(const wchar_t* path, DWORD vendorId, DWORD productId, const wchar_t* serial);
