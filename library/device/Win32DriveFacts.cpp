#include "library/device/DriveFacts.h"

#include <winioctl.h>

#include <vector>

#include "library/device/UsbIdentity.h"

namespace {
// Room for the device descriptor and the vendor, product and serial texts that follow it.
constexpr DWORD kDeviceDescriptorAnswerSize = 4135;
}  // namespace

DWORD CWin32DriveFacts::GetLogicalDriveMask() { return GetLogicalDrives(); }

UINT CWin32DriveFacts::GetRootDriveType(const std::wstring& root) {
    return GetDriveTypeW(root.c_str());
}

bool CWin32DriveFacts::IsUsbVolume(HANDLE volume, const std::wstring&) {
    STORAGE_PROPERTY_QUERY query = {};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    std::vector<BYTE> answer(kDeviceDescriptorAnswerSize, 0);
    DWORD returned = 0;
    if (!DeviceIoControl(volume, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query),
                         answer.data(), kDeviceDescriptorAnswerSize, &returned, nullptr)) {
        return false;
    }
    if (returned < offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) + sizeof(STORAGE_BUS_TYPE)) {
        return false;
    }
    const auto* descriptor = reinterpret_cast<const STORAGE_DEVICE_DESCRIPTOR*>(answer.data());
    return descriptor->BusType == BusTypeUsb;
}

void CWin32DriveFacts::ReadUsbIdentity(HANDLE volume, const std::wstring&, std::wstring* deviceId) {
    GetVolumeUsbIdentity(volume, deviceId);
}
