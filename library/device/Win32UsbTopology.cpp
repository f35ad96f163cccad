#include "library/device/UsbTopology.h"

#include <setupapi.h>
#include <winioctl.h>

#include <vector>

#include "library/util/ScopedWin.h"

namespace {

// The disk device-interface class, 53f56307-b6bf-11d0-94f2-00a0c91efb8b.
const GUID kDiskInterfaceClass = {
    0x53f56307, 0xb6bf, 0x11d0, {0x94, 0xf2, 0x00, 0xa0, 0xc9, 0x1e, 0xfb, 0x8b}};

// Owns a SetupAPI device information set.
class CScopedDeviceInfoSet {
public:
    explicit CScopedDeviceInfoSet(HDEVINFO set) : set_(set) {}
    ~CScopedDeviceInfoSet() {
        if (IsValid()) SetupDiDestroyDeviceInfoList(set_);
    }
    CScopedDeviceInfoSet(const CScopedDeviceInfoSet&) = delete;
    CScopedDeviceInfoSet& operator=(const CScopedDeviceInfoSet&) = delete;
    bool IsValid() const { return set_ != INVALID_HANDLE_VALUE; }
    HDEVINFO Get() const { return set_; }

private:
    HDEVINFO set_;
};

// The interface path of one interface of the set, with its device instance.
bool ReadInterfacePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA* interfaceData, std::wstring* path,
                       DEVINST* instance) {
    DWORD needed = 0;
    if (SetupDiGetDeviceInterfaceDetailW(set, interfaceData, nullptr, 0, &needed, nullptr) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed < sizeof(DWORD) + sizeof(wchar_t)) {
        return false;
    }
    std::vector<BYTE> buffer(needed);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    SP_DEVINFO_DATA deviceData = {};
    deviceData.cbSize = sizeof(deviceData);
    if (!SetupDiGetDeviceInterfaceDetailW(set, interfaceData, detail, needed, nullptr, &deviceData)) {
        return false;
    }
    const size_t pathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);
    const size_t maxChars = (needed - pathOffset) / sizeof(wchar_t);
    path->assign(detail->DevicePath, wcsnlen(detail->DevicePath, maxChars));
    *instance = deviceData.DevInst;
    return true;
}

}  // namespace

bool CWin32UsbTopology::GetDeviceNumber(HANDLE device, DWORD* number) {
    STORAGE_DEVICE_NUMBER deviceNumber = {};
    DWORD returned = 0;
    if (!DeviceIoControl(device, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &deviceNumber,
                         sizeof(deviceNumber), &returned, nullptr) ||
        returned < sizeof(deviceNumber)) {
        return false;
    }
    *number = deviceNumber.DeviceNumber;
    return true;
}

bool CWin32UsbTopology::FindDiskByDeviceNumber(DWORD number, DEVINST* disk) {
    CScopedDeviceInfoSet set(SetupDiGetClassDevsW(&kDiskInterfaceClass, nullptr, nullptr,
                                                  DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!set.IsValid()) return false;
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA interfaceData = {};
        interfaceData.cbSize = sizeof(interfaceData);
        if (!SetupDiEnumDeviceInterfaces(set.Get(), nullptr, &kDiskInterfaceClass, index,
                                         &interfaceData)) {
            return false;
        }
        std::wstring path;
        DEVINST instance = 0;
        if (!ReadInterfacePath(set.Get(), &interfaceData, &path, &instance)) return false;
        CScopedHandle device(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
        if (!device.IsValid()) continue;
        DWORD diskNumber = 0;
        if (GetDeviceNumber(device.Get(), &diskNumber) && diskNumber == number) {
            *disk = instance;
            return true;
        }
    }
}

bool CWin32UsbTopology::GetParent(DEVINST child, DEVINST* parent) {
    return CM_Get_Parent(parent, child, 0) == CR_SUCCESS;
}

bool CWin32UsbTopology::GetInstanceId(DEVINST instance, std::wstring* instanceId) {
    ULONG length = 0;
    if (CM_Get_Device_ID_Size(&length, instance, 0) != CR_SUCCESS) return false;
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    if (CM_Get_Device_IDW(instance, buffer.data(), length + 1, 0) != CR_SUCCESS) return false;
    instanceId->assign(buffer.data(), wcsnlen(buffer.data(), buffer.size()));
    return true;
}

HANDLE CWin32UsbTopology::OpenHub(const std::wstring& path) {
    return CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       0, nullptr);
}

void CWin32UsbTopology::CloseHub(HANDLE hub) {
    if (hub != INVALID_HANDLE_VALUE && hub != nullptr) CloseHandle(hub);
}

bool CWin32UsbTopology::HubControl(HANDLE hub, DWORD code, void* buffer, DWORD inSize,
                                   DWORD outSize, DWORD* returned) {
    return DeviceIoControl(hub, code, buffer, inSize, buffer, outSize, returned, nullptr) != FALSE;
}

bool CWin32UsbTopology::FindUsbInstanceByDriverKey(const std::wstring& driverKey,
                                                   std::wstring* instanceId) {
    CScopedDeviceInfoSet set(
        SetupDiGetClassDevsW(nullptr, L"USB", nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
    if (!set.IsValid()) return false;
    for (DWORD index = 0;; ++index) {
        SP_DEVINFO_DATA deviceData = {};
        deviceData.cbSize = sizeof(deviceData);
        if (!SetupDiEnumDeviceInfo(set.Get(), index, &deviceData)) return false;
        wchar_t driver[MAX_PATH] = {};
        if (!SetupDiGetDeviceRegistryPropertyW(set.Get(), &deviceData, SPDRP_DRIVER, nullptr,
                                               reinterpret_cast<BYTE*>(driver),
                                               sizeof(driver) - sizeof(wchar_t), nullptr)) {
            continue;
        }
        if (driverKey != driver) continue;
        wchar_t id[MAX_DEVICE_ID_LEN + 1] = {};
        if (!SetupDiGetDeviceInstanceIdW(set.Get(), &deviceData, id, MAX_DEVICE_ID_LEN, nullptr)) {
            return false;
        }
        instanceId->assign(id);
        return true;
    }
}
