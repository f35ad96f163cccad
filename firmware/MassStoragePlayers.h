#pragma once
// The mass-storage side: players attached as USB drives, found and driven through SCSI commands on
// their volumes, their files written and deleted through the drive.

#include <windows.h>

class IMassStorageSystem;

// Fills MSCTornelleList from a fresh scan of drives C: to Z:; returns 0.
HRESULT FindMSCTornelle(IMassStorageSystem& system);
// 0 when the file is strictly smaller than the drive's free space, E_OUTOFMEMORY when not,
// E_FAIL when either cannot be read.
HRESULT CheckFreeSpace(IMassStorageSystem& system, wchar_t drive, const wchar_t* firmwareFile);
// Whether the last scan found the player with this key.
bool HasMassStoragePlayer(DWORD vendorId, DWORD productId, const wchar_t* serial);
HRESULT CopyFirmwareBinaryMSC(IMassStorageSystem& system, DWORD vendorId, DWORD productId, const wchar_t* serial,
                              const wchar_t* firmwareFile, const wchar_t* path, BOOL createFolders);
HRESULT UpgradeFirmwareBinaryMSC(IMassStorageSystem& system, wchar_t drive);
HRESULT SendUpdateCommandMSC(IMassStorageSystem& system, DWORD vendorId, DWORD productId, const wchar_t* serial);
HRESULT DeleteFirmwareBinaryMSC(IMassStorageSystem& system, DWORD vendorId, DWORD productId, const wchar_t* serial,
                                const wchar_t* path);

// The commands, as the players expect them.
namespace scsi {
constexpr BYTE kInquiry[6] = {0x12, 0x00, 0x00, 0x00, 0x56, 0x00};
constexpr DWORD kInquiryDataSize = 96;
constexpr BYTE kGetDeviceInfo[12] = {0xfc, 0x00, 0x20, 0x64, 0x62, 0x6d, 0x6e, 0x00, 0x80, 0x00, 0x00, 0x00};
constexpr BYTE kStartUpdate[12] = {0xfc, 0x00, 0x04, 0x64, 0x62, 0x6d, 0x6e, 0x00, 0x00, 0x00, 0x00, 0x00};
constexpr DWORD kVendorDataSize = 128;
// INQUIRY data: vendor identification, then product identification.
constexpr size_t kInquiryVendorOffset = 8;
constexpr size_t kInquiryVendorSize = 8;
constexpr size_t kInquiryProductOffset = 16;
constexpr size_t kInquiryProductSize = 16;
}  // namespace scsi
