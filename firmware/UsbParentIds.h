#pragma once
// From a disk's storage device number to the USB device it sits on, through the device tree and
// the hub the device hangs on.

#include <windows.h>

#include <string>

class IUsbTopology;

struct UsbParentIds {
    std::wstring parentId;  // instance id of the USB device
    std::wstring diskId;  // instance id of the disk
    std::wstring productString;  // the USB device's iProduct string
};

// True when the hub has a port whose device matches the parent id's vendor id, product id and
// serial; then ids holds all three. Each string is at most 259 characters.
bool FindUsbParentIds(IUsbTopology& topology, DWORD deviceNumber, UsbParentIds* ids);

// Reads string descriptor index of the device on the hub's port in the device's first language;
// returns that language id (0 when the device lists none). text is empty when the read fails.
WORD GetUsbStringDescriptor(IUsbTopology& topology, HANDLE hub, ULONG port, BYTE index, std::wstring* text);

bool IsPlayerProductString(const std::wstring& productString);
