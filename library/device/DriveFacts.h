#pragma once

#include <windows.h>

#include <string>

// The facts about drives that the mass-storage controller takes from the storage stack rather
// than from the file system: which drive letters exist, their drive types, whether a volume sits on the USB bus, and
// the USB identity behind it. Tests give a simulated bus through this interface.
class IDriveFacts {
public:
    virtual ~IDriveFacts() = default;
    // Bit n set: drive letter 'A' + n exists.
    virtual DWORD GetLogicalDriveMask() = 0;
    // GetDriveTypeW's answer for a drive root.
    virtual UINT GetRootDriveType(const std::wstring& root) = 0;
    // Whether the open volume of that drive root is attached through USB.
    virtual bool IsUsbVolume(HANDLE volume, const std::wstring& root) = 0;
    // Fills the id from the USB device behind the open volume; leaves it unchanged when unknown.
    virtual void ReadUsbIdentity(HANDLE volume, const std::wstring& root,
                                 std::wstring* deviceId) = 0;
};

// The real facts: GetLogicalDrives, the storage device property and the USB identity walk.
class CWin32DriveFacts : public IDriveFacts {
public:
    DWORD GetLogicalDriveMask() override;
    UINT GetRootDriveType(const std::wstring& root) override;
    bool IsUsbVolume(HANDLE volume, const std::wstring& root) override;
    void ReadUsbIdentity(HANDLE volume, const std::wstring& root, std::wstring* deviceId) override;
};
