#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class IUsbTopology;

// Names a volume by the USB device behind it: "%4.4x_" of the vendor id, "%4.4x_" of the product
// id, then the serial-number string as the device returns it. The id stays as it was when any
// step of the walk fails (a volume not on USB, a hub that does not answer). Always returns 0.
int GetVolumeUsbIdentity(HANDLE volume, std::wstring* deviceId);
int GetVolumeUsbIdentity(HANDLE volume, std::wstring* deviceId, IUsbTopology& topology);

// The interface path of a hub, from its device instance id.
std::wstring UsbHubInterfacePath(std::wstring hubInstanceId);
// One string descriptor (length byte, type 3, UTF-16LE text) of the device on the hub's port, as
// far as both the descriptor's own length and the hub's answer go.
bool ReadUsbStringDescriptor(IUsbTopology& topology, HANDLE hub, ULONG port, BYTE index, uint16_t languageId,
                             uint16_t length, std::vector<BYTE>* descriptor);

// Hub device controls and the byte layouts of their records, as the USB hub driver defines them.
namespace usbhub {
constexpr DWORD MakeHubControl(DWORD function) { return (0x22u << 16) | (function << 2); }
constexpr DWORD kGetNodeInformation = MakeHubControl(258);
constexpr DWORD kGetNodeConnectionInformation = MakeHubControl(259);
constexpr DWORD kGetDescriptorFromNodeConnection = MakeHubControl(260);
constexpr DWORD kGetNodeConnectionDriverKeyName = MakeHubControl(264);

// Node information: node type (4), then the hub descriptor, whose third byte is the port count.
constexpr DWORD kNodeInformationSize = 76;
constexpr size_t kPortCountOffset = 6;
// Connection information: index (4), device descriptor (18), configuration, speed, hub flag,
// address (2), open pipes (4), connection status (4).
constexpr DWORD kConnectionInformationSize = 35;
constexpr size_t kDeviceDescriptorOffset = 4;
constexpr size_t kConnectionStatusOffset = 31;
constexpr uint32_t kDeviceConnected = 1;
// Device descriptor fields, relative to the descriptor.
constexpr size_t kVendorOffset = 8;
constexpr size_t kProductOffset = 10;
constexpr size_t kSerialIndexOffset = 16;
// Driver key name: index (4), actual length (4), then the name.
constexpr DWORD kDriverKeyNameHeaderSize = 10;
constexpr size_t kDriverKeyNameOffset = 8;
// Descriptor request: index (4), setup packet (8), then the descriptor.
constexpr DWORD kDescriptorRequestSize = 2060;
constexpr size_t kSetupPacketOffset = 4;
constexpr size_t kDescriptorDataOffset = 12;
}  // namespace usbhub
