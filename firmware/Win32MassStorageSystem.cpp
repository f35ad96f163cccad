#include "firmware/MassStorageSystem.h"

#include "firmware/Win32ScsiPort.h"
#include "library/device/UsbTopology.h"

CWin32MassStorageSystem::CWin32MassStorageSystem() : topology_(new CWin32UsbTopology()) {}
CWin32MassStorageSystem::~CWin32MassStorageSystem() = default;

DWORD CWin32MassStorageSystem::LogicalDrives() { return GetLogicalDrives(); }

UINT CWin32MassStorageSystem::DriveType(wchar_t letter) {
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    return GetDriveTypeW(root);
}

std::unique_ptr<IScsiPort> CWin32MassStorageSystem::OpenVolume(wchar_t letter) {
    std::unique_ptr<CWin32ScsiPort> port(new CWin32ScsiPort(letter));
    if (!port->IsOpen()) return nullptr;
    return port;
}

IUsbTopology& CWin32MassStorageSystem::UsbTopology() { return *topology_; }

std::wstring CWin32MassStorageSystem::DriveRoot(wchar_t letter) { return std::wstring(1, letter) + L":"; }

bool CWin32MassStorageSystem::FreeBytes(wchar_t letter, ULONGLONG* bytes) {
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    ULARGE_INTEGER available = {};
    if (!GetDiskFreeSpaceExW(root, &available, nullptr, nullptr)) return false;
    *bytes = available.QuadPart;
    return true;
}
