#pragma once
// What the mass-storage side asks of the machine: the drive letters, their volumes as SCSI ports,
// the USB device tree behind them, and the drives' files and free space. Tests give a simulated
// machine through this interface.

#include <windows.h>

#include <memory>
#include <string>

#include "firmware/ScsiPort.h"

class IUsbTopology;

class IMassStorageSystem {
public:
    virtual ~IMassStorageSystem() = default;
    // Bit n set: drive letter 'A' + n exists.
    virtual DWORD LogicalDrives() = 0;
    // GetDriveTypeW's answer for the drive's root directory.
    virtual UINT DriveType(wchar_t letter) = 0;
    // The drive's volume, open for commands; null when it cannot be opened.
    virtual std::unique_ptr<IScsiPort> OpenVolume(wchar_t letter) = 0;
    virtual IUsbTopology& UsbTopology() = 0;
    // Where the drive's files are reached, without a trailing backslash ("X:" on a real machine).
    virtual std::wstring DriveRoot(wchar_t letter) = 0;
    // Bytes free to the caller on the drive.
    virtual bool FreeBytes(wchar_t letter, ULONGLONG* bytes) = 0;
};

// The real machine.
class CWin32MassStorageSystem : public IMassStorageSystem {
public:
    CWin32MassStorageSystem();
    ~CWin32MassStorageSystem() override;

    DWORD LogicalDrives() override;
    UINT DriveType(wchar_t letter) override;
    std::unique_ptr<IScsiPort> OpenVolume(wchar_t letter) override;
    IUsbTopology& UsbTopology() override;
    std::wstring DriveRoot(wchar_t letter) override;
    bool FreeBytes(wchar_t letter, ULONGLONG* bytes) override;

private:
    std::unique_ptr<IUsbTopology> topology_;
};
