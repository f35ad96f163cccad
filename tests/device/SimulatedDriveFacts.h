#pragma once

#include <map>
#include <string>

#include "library/device/DriveFacts.h"

// Drive facts for tests: the drive letters of the Wine prefix, of which only the visible ones
// show, a chosen set of them on the USB bus, and a made-up USB identity per letter. Drive
// types, volumes and files stay real.
class CSimulatedDriveFacts : public IDriveFacts {
public:
    void Show(wchar_t letter) { visible_ |= Bit(letter); }
    void Hide(wchar_t letter) { visible_ &= ~Bit(letter); }
    // Shows the letter as a USB drive with that identity.
    void AddUsbDrive(wchar_t letter, const std::wstring& deviceId) {
        Show(letter);
        usb_ |= Bit(letter);
        ids_[static_cast<wchar_t>(towupper(letter))] = deviceId;
    }
    int VolumeQueries() const { return volumeQueries_; }

    DWORD GetLogicalDriveMask() override { return GetLogicalDrives() & visible_; }
    UINT GetRootDriveType(const std::wstring& root) override { return GetDriveTypeW(root.c_str()); }
    bool IsUsbVolume(HANDLE volume, const std::wstring& root) override;
    void ReadUsbIdentity(HANDLE volume, const std::wstring& root, std::wstring* deviceId) override;

private:
    static DWORD Bit(wchar_t letter) { return 1u << (towupper(letter) - L'A'); }

    DWORD visible_ = 0;
    DWORD usb_ = 0;
    std::map<wchar_t, std::wstring> ids_;
    int volumeQueries_ = 0;
};
