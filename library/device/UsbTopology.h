#pragma once

#include <windows.h>
#include <cfgmgr32.h>

#include <string>

// The device-tree and hub queries that lead from a volume to its USB device. The identity walk
// asks through this interface so that a made-up bus can stand in for the real one in tests.
class IUsbTopology {
public:
    virtual ~IUsbTopology() = default;

    // The storage device number behind an open volume or disk handle.
    virtual bool GetDeviceNumber(HANDLE device, DWORD* number) = 0;
    // The device instance of the first present disk interface with that device number.
    virtual bool FindDiskByDeviceNumber(DWORD number, DEVINST* disk) = 0;
    virtual bool GetParent(DEVINST child, DEVINST* parent) = 0;
    virtual bool GetInstanceId(DEVINST instance, std::wstring* instanceId) = 0;
    // Opens a hub by its interface path; INVALID_HANDLE_VALUE when it cannot be opened.
    virtual HANDLE OpenHub(const std::wstring& path) = 0;
    virtual void CloseHub(HANDLE hub) = 0;
    // One hub control on a buffer that carries the request in and the answer out.
    virtual bool HubControl(HANDLE hub, DWORD code, void* buffer, DWORD inSize, DWORD outSize,
                            DWORD* returned) = 0;
    // The instance id of the present USB-enumerated device registered under that driver key.
    virtual bool FindUsbInstanceByDriverKey(const std::wstring& driverKey,
                                            std::wstring* instanceId) = 0;
};

// The real bus: SetupAPI, the configuration manager and the hub's device controls.
class CWin32UsbTopology : public IUsbTopology {
public:
    bool GetDeviceNumber(HANDLE device, DWORD* number) override;
    bool FindDiskByDeviceNumber(DWORD number, DEVINST* disk) override;
    bool GetParent(DEVINST child, DEVINST* parent) override;
    bool GetInstanceId(DEVINST instance, std::wstring* instanceId) override;
    HANDLE OpenHub(const std::wstring& path) override;
    void CloseHub(HANDLE hub) override;
    bool HubControl(HANDLE hub, DWORD code, void* buffer, DWORD inSize, DWORD outSize,
                    DWORD* returned) override;
    bool FindUsbInstanceByDriverKey(const std::wstring& driverKey,
                                    std::wstring* instanceId) override;
};
