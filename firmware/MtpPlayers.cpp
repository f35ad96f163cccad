#include "firmware/MtpPlayers.h"

#include <shlwapi.h>

#include <string>
#include <vector>

#include "firmware/DebugLog.h"
#include "firmware/DeviceInfoReply.h"
#include "firmware/FirmwareState.h"
#include "firmware/MtpObjects.h"
#include "firmware/MtpVendorCommands.h"
#include "firmware/PlayerIdentity.h"
#include "firmware/PlayerRecords.h"
#include "library/device/WpdClassCache.h"
#include "platform/wpd/PortableDevice.h"

std::vector<MTP_DEVICE_RECORD> MTPTornelleList;

namespace {

bool IsPlayer(IPortableDevice* device, BYTE* reply, size_t* replyLength) {
    std::vector<wchar_t> description(mtpvendor::kDescriptionChars);
    if (FAILED(GetVendorExtensionDescription(device, description.data())) ||
        !wcsstr(description.data(), kPlayerVendorExtension)) {
        return false;
    }
    WORD opcodes[mtpvendor::kMaxOpcodes] = {};
    DWORD count = 0;
    if (FAILED(GetSupportedVendorOpcodes(device, opcodes, &count))) return false;
    bool hasDeviceInfo = false;
    for (DWORD i = 0; i < count && i < mtpvendor::kMaxOpcodes; ++i) hasDeviceInfo |= opcodes[i] == mtpvendor::kGetDeviceInfo;
    return hasDeviceInfo && GetMtpDeviceInfo(device, reply, replyLength) == S_OK;
}

MTP_DEVICE_RECORD MakeRecord(const std::wstring& deviceId, const BYTE* reply, size_t replyLength) {
    MTP_DEVICE_RECORD record = {};
    CopyField(record.deviceId, deviceId);
    const std::vector<std::wstring> tokens = SplitIdentifier(deviceId, L"\\_&#?");
    record.vendorId = HexToken(tokens, 2);
    record.productId = HexToken(tokens, 4);
    const DeviceInfoFields fields = ReadDeviceInfoReply(reply, replyLength, kMtpReplyLayout);
    CopyField(record.serial, fields.serial);
    CopyField(record.firmwareVersion, fields.firmwareVersion);
    CopyField(record.secondVersion, fields.secondVersion);
    CopyField(record.modelName, fields.modelName);
    record.identifierBytes[0] = fields.identifierBytes[0];
    record.identifierBytes[1] = fields.identifierBytes[1];
    CopyField(record.productCode, kPlayerProductCode);
    wchar_t aligned[40];
    swprintf(aligned, 40, L"%16ls", record.modelName);
    CopyField(record.modelKey, FormatModelKey(TrimWhiteSpace(aligned), record.identifierBytes));
    return record;
}

std::wstring FileNameOf(const wchar_t* path) { return PathFindFileNameW(path); }

HRESULT Transfer(CWpdContentAccess& access, const std::wstring& path, BOOL createFolders, const wchar_t* firmwareFile) {
    std::wstring storageId;
    if (FAILED(FindDeviceRootObject(access, &storageId))) return E_FAIL;
    HRESULT hr = CheckStorageFreeSpace(access, storageId, firmwareFile);
    if (hr == E_OUTOFMEMORY) return hr;
    if (FAILED(hr)) return E_FAIL;
    CScopedComPtr<IStream> source;
    CScopedComPtr<IPortableDeviceValues> values;
    if (FAILED(SHCreateStreamOnFileW(firmwareFile, STGM_READ | STGM_SHARE_DENY_WRITE, source.Receive())) ||
        FAILED(CWpdClassCache::Create(CLSID_PortableDeviceValues, IID_IPortableDeviceValues,
                                      reinterpret_cast<void**>(values.Receive())))) {
        return E_FAIL;
    }
    std::wstring parentId, foundId, fileName;
    if (!path.empty() && path != L"\\") {
        if (SUCCEEDED(CreateFolderPath(access, path, storageId, false, false, &parentId, &foundId)) &&
            !foundId.empty()) {
            DebugFormat(L"Delete Object : %ls\r\n", foundId.c_str());
            DeleteDeviceObject(access, foundId);
        }
        if (FAILED(CreateFolderPath(access, path, storageId, createFolders != FALSE, false, &parentId, &foundId))) {
            return E_FAIL;
        }
        DebugLine(L"Folder");
        fileName = FileNameOf(path.c_str());
    } else {
        fileName = FileNameOf(firmwareFile);
        if (SUCCEEDED(CreateFolderPath(access, L"\\" + fileName, storageId, false, false, &parentId, &foundId)) &&
            !foundId.empty()) {
            DebugFormat(L"Delete Object(2) : %ls\r\n", foundId.c_str());
            DeleteDeviceObject(access, foundId);
        }
        parentId = storageId;
    }
    WriteObjectProperties(values.Get(), parentId, source.Get(), fileName);

    CScopedComPtr<IStream> written;
    CScopedComPtr<IPortableDeviceDataStream> data;
    DWORD optimal = 0;
    if (FAILED(access.Content()->CreateObjectWithPropertiesAndData(values.Get(), written.Receive(), &optimal,
                                                                   nullptr)) ||
        FAILED(written->QueryInterface(IID_IPortableDeviceDataStream, reinterpret_cast<void**>(data.Receive())))) {
        return E_FAIL;
    }
    // The copy's and the commit's outcome show in whether the object got an id.
    CopyStreamToDevice(source.Get(), data.Get(), optimal);
    data->Commit(STGC_DEFAULT);
    LPWSTR objectId = nullptr;
    hr = data->GetObjectID(&objectId);
    if (SUCCEEDED(hr) && objectId) DebugFormat(L"Newly Created Object ID is %ls\r\n", objectId);
    const bool created = SUCCEEDED(hr) && objectId && objectId[0];
    CoTaskMemFree(objectId);
    return created ? S_OK : E_FAIL;
}

}  // namespace

void FindMTPTornelle() {
    DebugLine(L"Entering FindMTPTornelle()\r\n");
    DebugFormat(L"FindMTPTornelle(): MTPTornelleList.GetCount() = %d\r\n", static_cast<int>(MTPTornelleList.size()));
    CScopedComPtr<IPortableDeviceManager> manager;
    if (FAILED(CWpdClassCache::Create(CLSID_PortableDeviceManager, IID_IPortableDeviceManager,
                                      reinterpret_cast<void**>(manager.Receive())))) {
        return;
    }
    DWORD count = 0;
    std::vector<LPWSTR> ids;
    if (SUCCEEDED(manager->GetDevices(nullptr, &count)) && count > 0) {
        ids.assign(count, nullptr);
        if (FAILED(manager->GetDevices(ids.data(), &count))) count = 0;
        if (count > ids.size()) count = static_cast<DWORD>(ids.size());
    }
    DebugFormat(L"FindMTPTornelle(): cPnPDeviceIDs = %d\r\n", static_cast<int>(count));
    std::vector<MTP_DEVICE_RECORD> found;
    for (DWORD i = 0; i < count; ++i) {
        CScopedComPtr<IPortableDevice> device;
        if (!ids[i] || FAILED(OpenMtpDevice(ids[i], &device))) continue;
        BYTE reply[mtpvendor::kDeviceInfoSize] = {};
        size_t replyLength = 0;
        if (IsPlayer(device.Get(), reply, &replyLength)) found.push_back(MakeRecord(ids[i], reply, replyLength));
        device->Close();
    }
    for (LPWSTR id : ids) CoTaskMemFree(id);
    if (found.empty()) return;
    DebugFormat(L"FindMTPTornelle(): found %d\r\n", static_cast<int>(found.size()));
    CScopedLock append(MtpAppendLock());
    MTPTornelleList = found;
    DebugLine(L"Leaving FindMTPTornelle()\r\n");
}

bool HasMtpPlayer(DWORD vendorId, DWORD productId, const wchar_t* serial) {
    for (const MTP_DEVICE_RECORD& record : MTPTornelleList) {
        if (IsSamePlayer(record.vendorId, record.productId, record.serial, vendorId, productId, serial)) return true;
    }
    return false;
}

HRESULT TransferFirmwareFileMTP(const wchar_t* path, const wchar_t* deviceId, BOOL createFolders,
                                const wchar_t* firmwareFile) {
    CScopedComPtr<IPortableDevice> device;
    if (FAILED(OpenMtpDevice(deviceId, &device))) return E_FAIL;
    CCriticalSection deviceLock;
    HRESULT hr;
    {
        CWpdContentAccess access(device.Get(), deviceLock);
        hr = FAILED(access.Status()) ? E_FAIL : Transfer(access, path ? path : L"", createFolders, firmwareFile);
    }
    device->Close();
    return hr;
}

HRESULT CopyFirmwareBinaryMTP(DWORD vendorId, DWORD productId, const wchar_t* serial, const wchar_t* firmwareFile,
                              const wchar_t* path, BOOL createFolders) {
    if (MTPTornelleList.empty()) return 1;
    if (!firmwareFile) return E_INVALIDARG;
    std::wstring target = path ? path : L"";
    if (target == L"\\") target += FileNameOf(firmwareFile);
    HRESULT result = 1;
    for (const MTP_DEVICE_RECORD& record : MTPTornelleList) {
        if (record.vendorId != vendorId || record.productId != productId) continue;
        DebugFormat(L" Found 0x%4x, 0x%4x MTP Tornelle\r\n", vendorId, productId);
        if (IsSamePlayer(record.vendorId, record.productId, record.serial, vendorId, productId, serial)) {
            result = TransferFirmwareFileMTP(target.c_str(), record.deviceId, createFolders, firmwareFile);
        }
    }
    return result;
}

HRESULT SendUpdateCommandMTP(DWORD vendorId, DWORD productId, const wchar_t* serial) {
    for (const MTP_DEVICE_RECORD& record : MTPTornelleList) {
        if (!IsSamePlayer(record.vendorId, record.productId, record.serial, vendorId, productId, serial)) continue;
        CScopedComPtr<IPortableDevice> device;
        if (FAILED(OpenMtpDevice(record.deviceId, &device))) return E_FAIL;
        const HRESULT hr = SendMtpUpdateOperation(device.Get());
        device->Close();
        if (FAILED(hr)) return E_FAIL;
    }
    return 0;
}

HRESULT DeleteFirmwareBinaryMTP(const wchar_t* path, DWORD vendorId, DWORD productId, const wchar_t* serial) {
    for (const MTP_DEVICE_RECORD& record : MTPTornelleList) {
        if (!IsSamePlayer(record.vendorId, record.productId, record.serial, vendorId, productId, serial)) continue;
        CScopedComPtr<IPortableDevice> device;
        HRESULT hr = OpenMtpDevice(record.deviceId, &device);
        if (FAILED(hr)) return hr;
        CCriticalSection deviceLock;
        {
            CWpdContentAccess access(device.Get(), deviceLock);
            std::wstring storageId, parentId, foundId;
            hr = access.Status();
            if (SUCCEEDED(hr)) hr = FindDeviceRootObject(access, &storageId);
            if (SUCCEEDED(hr)) hr = CreateFolderPath(access, path ? path : L"", storageId, false, true, &parentId,
                                                     &foundId);
            // An empty path names the storage itself, which is never deleted.
            if (SUCCEEDED(hr) && foundId.empty()) hr = E_INVALIDARG;
            if (SUCCEEDED(hr)) hr = DeleteDeviceObject(access, foundId);
        }
        device->Close();
        return hr;
    }
    return S_OK;
}
