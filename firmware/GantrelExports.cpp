// The library's exports: the two player lists behind one lock, and the choice of transport.

#include "firmware/Gantrel.h"

#include <cwchar>

#include "firmware/DebugLog.h"
#include "firmware/DeviceInfoReply.h"
#include "firmware/FirmwareState.h"
#include "firmware/MassStoragePlayers.h"
#include "firmware/MtpPlayers.h"
#include "firmware/PlayerRecords.h"
#include "library/device/WpdClassCache.h"

namespace {

const wchar_t kModuleName[] = L"Gantrel.DLL";

// Empties both lists and scans again; the caller holds the list lock.
void Rescan() {
    MSCTornelleList.clear();
    MTPTornelleList.clear();
    FindMSCTornelle(MassStorageSystem());
    FindMTPTornelle();
}

template <class Record>
void FillDeviceInfo(const Record& record, DWORD transport, DEVICE_INFO* info) {
    ZeroMemory(info, sizeof(*info));
    info->transport = transport;
    info->vendorId = record.vendorId;
    info->productId = record.productId;
    CopyField(info->serial, record.serial);
    CopyField(info->productCode, record.productCode);
    CopyField(info->modelKey, record.modelKey);
    CopyField(info->firmwareVersion, record.firmwareVersion);
    CopyField(info->secondVersion, record.secondVersion);
    CopyField(info->modelName, record.modelName);
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// A digit, a point and two digits, and nothing after them.
bool IsVersionForm(const wchar_t* text) {
    return text && IsDigit(text[0]) && text[1] == L'.' && IsDigit(text[2]) && IsDigit(text[3]) && text[4] == L'\0';
}

}  // namespace

extern "C" HRESULT __cdecl CheckVersion(const wchar_t* a, const wchar_t* b) {
    if (!IsVersionForm(a) || !IsVersionForm(b)) return E_INVALIDARG;
    const int order = wcscmp(a, b);
    return order == 0 ? 1 : (order < 0 ? 0 : 2);
}

extern "C" HRESULT __cdecl GetDevices(void) {
    DebugLine(L"Entering GetDevices()\r\n");
    {
        CWpdClassCache classes;
        CScopedLock lock(ListLock());
        Rescan();
    }
    DebugLine(L"Leaving GetDevices()\r\n");
    return 0;
}

extern "C" HRESULT __cdecl GetDeviceCount(int* count) {
    DebugLine(L"Entering GetDeviceCount()\r\n");
    {
        CScopedLock lock(ListLock());
        DebugFormat(L"GetDeviceCount():MSCTornelleList.GetCount() = %d\r\n", static_cast<int>(MSCTornelleList.size()));
        DebugFormat(L"GetDeviceCount():MTPTornelleList.GetCount() = %d\r\n", static_cast<int>(MTPTornelleList.size()));
        if (count) *count = static_cast<int>(MSCTornelleList.size() + MTPTornelleList.size());
    }
    DebugLine(L"Leaving GetDeviceCount()\r\n");
    return 0;
}

extern "C" HRESULT __cdecl GetDeviceInfo(DEVICE_INFO* records, unsigned count) {
    DebugLine(L"Entering GetDeviceInfo()\r\n");
    {
        CScopedLock lock(ListLock());
        unsigned written = 0;
        for (const MSC_DEVICE_RECORD& record : MSCTornelleList) {
            if (!records || written >= count) break;
            FillDeviceInfo(record, kTransportMassStorage, &records[written++]);
        }
        for (const MTP_DEVICE_RECORD& record : MTPTornelleList) {
            if (!records || written >= count) break;
            FillDeviceInfo(record, kTransportMtp, &records[written++]);
        }
    }
    DebugLine(L"Leaving GetDeviceInfo()\r\n");
    return 0;
}

extern "C" HRESULT __cdecl CopyFirmwareBinary(DWORD vendorId, DWORD productId, const wchar_t* serial,
                                              const wchar_t* firmwareFile, const wchar_t* path, BOOL createFolders) {
    DebugLine(L"Entering CopyFirmwareBinary\r\n");
    // The rescan and the transfer open the player several times and make many value sets.
    CWpdClassCache classes;
    GetDevices();
    // The player is named by its whole key: a mass-storage and an MTP player of one model differ
    // only by serial, and the copy must reach the one named.
    if (HasMassStoragePlayer(vendorId, productId, serial)) {
        return CopyFirmwareBinaryMSC(MassStorageSystem(), vendorId, productId, serial, firmwareFile, path,
                                     createFolders);
    }
    const HRESULT result = CopyFirmwareBinaryMTP(vendorId, productId, serial, firmwareFile, path, createFolders);
    DebugLine(L"Leaving CopyFirmwareBinary()\r\n");
    return result;
}

extern "C" HRESULT __cdecl SendUpdateCommand(DWORD vendorId, DWORD productId, const wchar_t* serial) {
    DebugLine(L"Entering SendUpdateCommand\r\n");
    CWpdClassCache classes;
    SendUpdateCommandMSC(MassStorageSystem(), vendorId, productId, serial);
    const HRESULT result = SendUpdateCommandMTP(vendorId, productId, serial);
    DebugLine(L"Leaving SendUpdateCommand\r\n");
    return result;
}

extern "C" HRESULT __cdecl DeleteFirmwareBinary(DWORD vendorId, DWORD productId, const wchar_t* serial,
                                                const wchar_t* path) {
    DebugLine(L"Entering DeleteFirmwareBinary\r\n");
    {
        CWpdClassCache classes;
        CScopedLock lock(ListLock());
        DeleteFirmwareBinaryMSC(MassStorageSystem(), vendorId, productId, serial, path);
        DeleteFirmwareBinaryMTP(path, vendorId, productId, serial);
    }
    DebugLine(L"Leaving DeleteFirmwareBinary\r\n");
    return 0;
}

extern "C" HRESULT __cdecl GetModuleName(wchar_t* buffer, size_t size) {
    DebugLine(L"Entering GetModuleName");
    if (!buffer) return E_POINTER;
    const size_t needed = sizeof(kModuleName) / sizeof(kModuleName[0]);
    if (size < needed) return E_INVALIDARG;
    wmemcpy(buffer, kModuleName, needed);
    return 0;
}
