#include "firmware/MassStoragePlayers.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "firmware/DebugLog.h"
#include "firmware/DeviceInfoReply.h"
#include "firmware/MassStorageSystem.h"
#include "firmware/PlayerIdentity.h"
#include "firmware/PlayerRecords.h"
#include "firmware/UsbParentIds.h"
#include "library/util/ScopedWin.h"

std::vector<MSC_DEVICE_RECORD> MSCTornelleList;

namespace {

// A port that claims more than the buffer holds is believed only up to the buffer's end.
DWORD ClampTransferred(DWORD transferred, DWORD bufferSize) { return transferred < bufferSize ? transferred : bufferSize; }

bool IsPlayerInquiry(const BYTE* data, DWORD transferred) {
    const size_t productEnd = scsi::kInquiryProductOffset + scsi::kInquiryProductSize;
    if (transferred < productEnd) return false;
    return memcmp(data + scsi::kInquiryProductOffset, kPlayerInquiryProduct, scsi::kInquiryProductSize) == 0 &&
           memcmp(data + scsi::kInquiryVendorOffset, kPlayerInquiryVendor, strlen(kPlayerInquiryVendor)) == 0;
}

// Sends INQUIRY; true when the drive identifies as a player. Gives the drive's device number.
bool InquirePlayer(IMassStorageSystem& system, wchar_t letter, DWORD* deviceNumber) {
    std::unique_ptr<IScsiPort> port = system.OpenVolume(letter);
    if (!port) return false;
    BYTE data[scsi::kInquiryDataSize] = {};
    ScsiSense sense;
    DWORD transferred = 0;
    const HRESULT hr = port->Execute(scsi::kInquiry, sizeof(scsi::kInquiry), data, sizeof(data), &sense, &transferred);
    transferred = ClampTransferred(transferred, sizeof(data));
    DebugFormat(L"Exec SCSI Inquiry: %ls %ls\r\n",
                ReadReplyText(data, transferred, scsi::kInquiryProductOffset, scsi::kInquiryProductSize).c_str(),
                ReadReplyText(data, transferred, scsi::kInquiryVendorOffset, scsi::kInquiryVendorSize).c_str());
    if (FAILED(hr) || !IsPlayerInquiry(data, transferred)) return false;
    return port->GetDeviceNumber(deviceNumber);
}

// Reads the player's identity into the candidate; false when the command fails.
bool ReadDeviceInfo(IMassStorageSystem& system, MSC_DEVICE_RECORD* record) {
    DebugFormat(L"Sending Type5 SCSI Extension Command (Get Device Info) to %lc: \r\n", record->driveLetter);
    std::unique_ptr<IScsiPort> port = system.OpenVolume(record->driveLetter);
    BYTE reply[scsi::kVendorDataSize] = {};
    ScsiSense sense;
    DWORD transferred = 0;
    const bool ok = port && SUCCEEDED(port->Execute(scsi::kGetDeviceInfo, sizeof(scsi::kGetDeviceInfo), reply,
                                                    sizeof(reply), &sense, &transferred));
    DebugLine(ok ? L"OK\r\n" : L"FAILED\r\n");
    if (!ok) return false;
    transferred = ClampTransferred(transferred, sizeof(reply));
    const DeviceInfoFields fields = ReadDeviceInfoReply(reply, transferred, kMassStorageReplyLayout);
    CopyField(record->serial, fields.serial);
    CopyField(record->firmwareVersion, fields.firmwareVersion);
    CopyField(record->secondVersion, fields.secondVersion);
    CopyField(record->modelName, fields.modelName);
    record->identifierBytes[0] = fields.identifierBytes[0];
    record->identifierBytes[1] = fields.identifierBytes[1];
    CopyField(record->productCode, kPlayerProductCode);
    CopyField(record->modelKey, FormatModelKey(TrimWhiteSpace(record->modelName), record->identifierBytes));
    return true;
}

std::wstring FileNameWithBackslash(const wchar_t* file) {
    const wchar_t* slash = wcsrchr(file, L'\\');
    return slash ? std::wstring(slash) : L"\\" + std::wstring(file);
}

HRESULT CreateFolderLevels(const std::wstring& root, const std::wstring& path) {
    const size_t last = path.rfind(L'\\');
    if (last == std::wstring::npos) return E_INVALIDARG;
    for (size_t next = path.find(L'\\', 1); next != std::wstring::npos && next <= last;
         next = path.find(L'\\', next + 1)) {
        if (next == 0) continue;
        const std::wstring level = root + path.substr(0, next);
        if (!CreateDirectoryW(level.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return E_FAIL;
    }
    return S_OK;
}

}  // namespace

HRESULT FindMSCTornelle(IMassStorageSystem& system) {
    DebugLine(L"Entering FindMSCTornelle()\r\n");
    MSCTornelleList.clear();
    std::vector<MSC_DEVICE_RECORD> candidates;
    const DWORD drives = system.LogicalDrives();
    for (wchar_t letter = L'C'; letter <= L'Z'; ++letter) {
        if (!(drives & (1u << (letter - L'A'))) || system.DriveType(letter) != DRIVE_REMOVABLE) continue;
        DWORD deviceNumber = 0;
        if (!InquirePlayer(system, letter, &deviceNumber)) continue;
        UsbParentIds ids;
        if (!FindUsbParentIds(system.UsbTopology(), deviceNumber, &ids)) continue;
        DebugFormat(L"DeviceID:%ls\r\n", ids.parentId.c_str());
        DebugFormat(L"DeviceID2:%ls\r\n", ids.diskId.c_str());
        DebugFormat(L"iProduct:%ls\r\n", ids.productString.c_str());
        const std::vector<std::wstring> tokens = SplitIdentifier(ids.parentId, L"\\_&");
        if (tokens.size() > 5) DebugFormat(L"USB serial:%ls\r\n", tokens[5].c_str());
        MSC_DEVICE_RECORD record = {};
        record.driveLetter = letter;
        record.vendorId = HexToken(tokens, 2);
        record.productId = HexToken(tokens, 4);
        if ((record.vendorId & 0xffff) != kPlayerUsbVendorId || !IsPlayerProductString(ids.productString)) continue;
        candidates.push_back(record);
    }
    for (MSC_DEVICE_RECORD& candidate : candidates) {
        if (!ReadDeviceInfo(system, &candidate)) continue;
        DebugFormat(L"Tornelle on %lc:\r\n", candidate.driveLetter);
        MSCTornelleList.push_back(candidate);
    }
    DebugLine(L"Leaving FindMSCTornelle()\r\n");
    return S_OK;
}

HRESULT CheckFreeSpace(IMassStorageSystem& system, wchar_t drive, const wchar_t* firmwareFile) {
    ULONGLONG freeBytes = 0;
    if (!system.FreeBytes(drive, &freeBytes)) return E_FAIL;
    CScopedHandle file(CreateFileW(firmwareFile, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size = {};
    if (!file.IsValid() || !GetFileSizeEx(file.Get(), &size)) return E_FAIL;
    return static_cast<ULONGLONG>(size.QuadPart) < freeBytes ? S_OK : E_OUTOFMEMORY;
}

bool HasMassStoragePlayer(DWORD vendorId, DWORD productId, const wchar_t* serial) {
    for (const MSC_DEVICE_RECORD& record : MSCTornelleList) {
        if (IsSamePlayer(record.vendorId, record.productId, record.serial, vendorId, productId, serial)) return true;
    }
    return false;
}

HRESULT CopyFirmwareBinaryMSC(IMassStorageSystem& system, DWORD vendorId, DWORD productId, const wchar_t* serial,
                              const wchar_t* firmwareFile, const wchar_t* path, BOOL createFolders) {
    if (MSCTornelleList.empty()) return 1;
    if (!firmwareFile) return E_INVALIDARG;
    const std::wstring target = path ? path : L"";
    bool matched = false;
    for (const MSC_DEVICE_RECORD& record : MSCTornelleList) {
        if (!IsSamePlayer(record.vendorId, record.productId, record.serial, vendorId, productId, serial)) continue;
        matched = true;
        HRESULT hr = CheckFreeSpace(system, record.driveLetter, firmwareFile);
        if (hr != S_OK) return hr;
        const std::wstring root = system.DriveRoot(record.driveLetter);
        const std::wstring destination = root + (target.empty() ? FileNameWithBackslash(firmwareFile) : target);
        if (createFolders) {
            hr = CreateFolderLevels(root, target);
            if (hr != S_OK) return hr;
        }
        if (!CopyFileW(firmwareFile, destination.c_str(), FALSE)) return E_FAIL;
    }
    return matched ? 0 : 1;
}

HRESULT UpgradeFirmwareBinaryMSC(IMassStorageSystem& system, wchar_t drive) {
    DebugLine(L"Entering UpgradeFirmwareBinaryMSC()\r\n");
    if (std::unique_ptr<IScsiPort> port = system.OpenVolume(drive)) {
        BYTE data[scsi::kVendorDataSize] = {};
        ScsiSense sense;
        port->Execute(scsi::kStartUpdate, sizeof(scsi::kStartUpdate), data, sizeof(data), &sense, nullptr);
    }
    DebugLine(L"Leaving UpgradeFirmwareBinaryMSC()\r\n");
    return 0;
}

HRESULT SendUpdateCommandMSC(IMassStorageSystem& system, DWORD vendorId, DWORD productId, const wchar_t* serial) {
    for (const MSC_DEVICE_RECORD& record : MSCTornelleList) {
        if (IsSamePlayer(record.vendorId, record.productId, record.serial, vendorId, productId, serial)) {
            UpgradeFirmwareBinaryMSC(system, record.driveLetter);
        }
    }
    return 0;
}

HRESULT DeleteFirmwareBinaryMSC(IMassStorageSystem& system, DWORD vendorId, DWORD productId, const wchar_t* serial,
                                const wchar_t* path) {
    const std::wstring target = path ? path : L"";
    for (const MSC_DEVICE_RECORD& record : MSCTornelleList) {
        if (!IsSamePlayer(record.vendorId, record.productId, record.serial, vendorId, productId, serial)) continue;
        if (record.driveLetter == 0) return E_FAIL;
        const std::wstring file = system.DriveRoot(record.driveLetter) + target;
        if (DeleteFileW(file.c_str())) continue;
        const DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED && RemoveDirectoryW(file.c_str())) continue;
        return HRESULT_FROM_WIN32(error);
    }
    return S_OK;
}
