#pragma once
// A simulated machine for the mass-storage side: drive letters backed by scratch folders, each
// with a simulated player (or another drive) that answers SCSI commands from scripted replies and
// records every CDB, and a USB bus on which each drive's device hangs on a port of one hub.

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "firmware/MassStorageSystem.h"
#include "library/device/UsbTopology.h"

struct SimulatedDrive {
    std::wstring root;  // folder holding the drive's files
    UINT driveType = DRIVE_REMOVABLE;
    bool opens = true;
    ULONGLONG freeBytes = 64ull << 20;
    // Replies to INQUIRY and Get Device Info; a reply longer than the caller's buffer is cut, and
    // the sense key answers each command (0: good).
    std::vector<BYTE> inquiry;
    BYTE inquirySense = 0;
    std::vector<BYTE> deviceInfo;
    BYTE deviceInfoSense = 0;
    // A faulty port reports the whole reply's length as transferred, even past the buffer.
    bool overstatesLength = false;
    // USB identity of the drive's device: its instance id, and what its descriptor and strings say.
    std::wstring usbInstanceId;
    uint16_t usbVendor = 0;
    uint16_t usbProduct = 0;
    std::wstring usbSerial;
    std::wstring usbProductString;
    // Every CDB the drive received, in order.
    std::vector<std::vector<BYTE>> commands;
};

// INQUIRY data with the vendor and product fields as given (each padded with spaces).
std::vector<BYTE> InquiryReply(const std::string& vendor, const std::string& product);
// A 128-byte Get Device Info reply of a player.
std::vector<BYTE> MassStorageDeviceInfo(const std::string& model, const std::string& version,
                                        const std::string& secondVersion, const std::string& serial, BYTE first,
                                        BYTE second);

class CSimulatedMassStorage : public IMassStorageSystem, private IUsbTopology {
public:
    // A drive that is a player of the maker with this model and serial, on USB with product id.
    SimulatedDrive& AddPlayer(wchar_t letter, const std::wstring& root, uint16_t usbVendor, uint16_t usbProduct,
                              const std::string& serial);
    SimulatedDrive& AddDrive(wchar_t letter, const SimulatedDrive& drive);
    SimulatedDrive& Drive(wchar_t letter) { return drives_[static_cast<wchar_t>(towupper(letter))]; }

    DWORD LogicalDrives() override;
    UINT DriveType(wchar_t letter) override;
    std::unique_ptr<IScsiPort> OpenVolume(wchar_t letter) override;
    IUsbTopology& UsbTopology() override { return *this; }
    std::wstring DriveRoot(wchar_t letter) override;
    bool FreeBytes(wchar_t letter, ULONGLONG* bytes) override;

private:
    // The bus: disk n (device number n) is the drive letter 'A' + n; its parent is USB device
    // 100 + n, whose parent is the hub 1000, on port n + 1.
    bool GetDeviceNumber(HANDLE device, DWORD* number) override;
    bool FindDiskByDeviceNumber(DWORD number, DEVINST* disk) override;
    bool GetParent(DEVINST child, DEVINST* parent) override;
    bool GetInstanceId(DEVINST instance, std::wstring* instanceId) override;
    HANDLE OpenHub(const std::wstring& path) override;
    void CloseHub(HANDLE hub) override;
    bool HubControl(HANDLE hub, DWORD code, void* buffer, DWORD inSize, DWORD outSize, DWORD* returned) override;
    bool FindUsbInstanceByDriverKey(const std::wstring& driverKey, std::wstring* instanceId) override;

    SimulatedDrive* DriveOnPort(ULONG port);

    std::map<wchar_t, SimulatedDrive> drives_;
};
