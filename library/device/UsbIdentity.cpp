#include "library/device/UsbIdentity.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "library/device/UsbTopology.h"

namespace {

// Hub driver key names are short registry paths; anything longer is not a real answer.
constexpr DWORD kMaxDriverKeyNameSize = 4096;

uint16_t ReadLe16(const BYTE* bytes) { return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)); }
uint32_t ReadLe32(const BYTE* bytes) {
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}
void WriteLe16(BYTE* bytes, uint16_t value) {
    bytes[0] = static_cast<BYTE>(value);
    bytes[1] = static_cast<BYTE>(value >> 8);
}
void WriteLe32(BYTE* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<BYTE>(value >> (8 * i));
}

// Closes the hub on every way out of the walk.
class CHubHandle {
public:
    CHubHandle(IUsbTopology& topology, HANDLE hub) : topology_(topology), hub_(hub) {}
    ~CHubHandle() {
        if (IsValid()) topology_.CloseHub(hub_);
    }
    CHubHandle(const CHubHandle&) = delete;
    CHubHandle& operator=(const CHubHandle&) = delete;
    bool IsValid() const { return hub_ != INVALID_HANDLE_VALUE && hub_ != nullptr; }
    HANDLE Get() const { return hub_; }

private:
    IUsbTopology& topology_;
    HANDLE hub_;
};

bool ReadDriverKeyName(IUsbTopology& topology, HANDLE hub, ULONG port, std::wstring* name) {
    BYTE probe[usbhub::kDriverKeyNameHeaderSize] = {};
    WriteLe32(probe, port);
    DWORD returned = 0;
    if (!topology.HubControl(hub, usbhub::kGetNodeConnectionDriverKeyName, probe, sizeof(probe),
                             sizeof(probe), &returned)) {
        return false;
    }
    const DWORD needed = ReadLe32(probe + 4);
    if (needed <= usbhub::kDriverKeyNameOffset || needed > kMaxDriverKeyNameSize) return false;
    std::vector<BYTE> record(needed, 0);
    WriteLe32(record.data(), port);
    returned = 0;
    if (!topology.HubControl(hub, usbhub::kGetNodeConnectionDriverKeyName, record.data(), needed,
                             needed, &returned)) {
        return false;
    }
    const size_t answered = returned < needed ? returned : needed;
    if (answered <= usbhub::kDriverKeyNameOffset) return false;
    const size_t chars = (answered - usbhub::kDriverKeyNameOffset) / sizeof(wchar_t);
    name->clear();
    for (size_t i = 0; i < chars; ++i) {
        const wchar_t c = ReadLe16(record.data() + usbhub::kDriverKeyNameOffset + 2 * i);
        if (c == L'\0') break;
        name->push_back(c);
    }
    return !name->empty();
}

bool ReadSerialNumber(IUsbTopology& topology, HANDLE hub, ULONG port, BYTE serialIndex,
                      std::wstring* text) {
    std::vector<BYTE> languages;
    if (!ReadUsbStringDescriptor(topology, hub, port, 0, 0, 4, &languages) || languages.size() < 4) {
        return false;
    }
    const uint16_t languageId = ReadLe16(languages.data() + 2);
    std::vector<BYTE> serial;
    if (!ReadUsbStringDescriptor(topology, hub, port, serialIndex, languageId, 255, &serial)) {
        return false;
    }
    text->clear();
    for (size_t offset = 2; offset + 1 < serial.size(); offset += 2) {
        text->push_back(static_cast<wchar_t>(ReadLe16(serial.data() + offset)));
    }
    return true;
}

// The device descriptor of the hub port that holds the USB device with that instance id.
bool FindPortDescriptor(IUsbTopology& topology, HANDLE hub, const std::wstring& usbInstanceId,
                        ULONG* port, BYTE descriptor[18]) {
    BYTE node[usbhub::kNodeInformationSize] = {};
    DWORD returned = 0;
    if (!topology.HubControl(hub, usbhub::kGetNodeInformation, node, sizeof(node), sizeof(node),
                             &returned) ||
        returned <= usbhub::kPortCountOffset) {
        return false;
    }
    const ULONG portCount = node[usbhub::kPortCountOffset];
    for (ULONG index = 1; index <= portCount; ++index) {
        BYTE connection[usbhub::kConnectionInformationSize] = {};
        WriteLe32(connection, index);
        returned = 0;
        if (!topology.HubControl(hub, usbhub::kGetNodeConnectionInformation, connection,
                                 sizeof(connection), sizeof(connection), &returned) ||
            returned < usbhub::kConnectionInformationSize) {
            continue;
        }
        if (ReadLe32(connection + usbhub::kConnectionStatusOffset) != usbhub::kDeviceConnected) {
            continue;
        }
        std::wstring driverKey;
        if (!ReadDriverKeyName(topology, hub, index, &driverKey)) return false;
        std::wstring instanceId;
        if (!topology.FindUsbInstanceByDriverKey(driverKey, &instanceId)) return false;
        if (instanceId == usbInstanceId) {
            *port = index;
            memcpy(descriptor, connection + usbhub::kDeviceDescriptorOffset, 18);
            return true;
        }
    }
    return false;
}

}  // namespace

std::wstring UsbHubInterfacePath(std::wstring hubInstanceId) {
    for (wchar_t& c : hubInstanceId) {
        if (c == L'\\') c = L'#';
    }
    return L"\\\\.\\" + hubInstanceId + L"#{f18a0e88-c30c-11d0-8815-00a0c906bed8}";
}

bool ReadUsbStringDescriptor(IUsbTopology& topology, HANDLE hub, ULONG port, BYTE index,
                          uint16_t languageId, uint16_t length, std::vector<BYTE>* descriptor) {
    std::vector<BYTE> request(usbhub::kDescriptorRequestSize, 0);
    WriteLe32(request.data(), port);
    BYTE* setup = request.data() + usbhub::kSetupPacketOffset;
    setup[0] = 0x80;  // device to host, standard, device
    setup[1] = 6;     // GET_DESCRIPTOR
    WriteLe16(setup + 2, static_cast<uint16_t>(0x0300 | index));
    WriteLe16(setup + 4, languageId);
    WriteLe16(setup + 6, length);
    DWORD returned = 0;
    if (!topology.HubControl(hub, usbhub::kGetDescriptorFromNodeConnection, request.data(),
                             usbhub::kDescriptorRequestSize, usbhub::kDescriptorRequestSize,
                             &returned)) {
        return false;
    }
    if (returned > usbhub::kDescriptorRequestSize) returned = usbhub::kDescriptorRequestSize;
    if (returned < usbhub::kDescriptorDataOffset + 2) return false;
    const BYTE* data = request.data() + usbhub::kDescriptorDataOffset;
    const size_t available = returned - usbhub::kDescriptorDataOffset;
    // The descriptor says how long it is; neither that nor the answer may be overrun.
    size_t size = data[0];
    if (size > available) size = available;
    if (size < 2 || data[1] != 3) return false;
    descriptor->assign(data, data + size);
    return true;
}

int GetVolumeUsbIdentity(HANDLE volume, std::wstring* deviceId) {
    CWin32UsbTopology topology;
    return GetVolumeUsbIdentity(volume, deviceId, topology);
}

int GetVolumeUsbIdentity(HANDLE volume, std::wstring* deviceId, IUsbTopology& topology) {
    if (deviceId == nullptr) return 0;
    DWORD deviceNumber = 0;
    DEVINST disk = 0, usbDevice = 0, hubDevice = 0;
    std::wstring usbInstanceId, hubInstanceId;
    if (!topology.GetDeviceNumber(volume, &deviceNumber) ||
        !topology.FindDiskByDeviceNumber(deviceNumber, &disk) ||
        !topology.GetParent(disk, &usbDevice) ||
        !topology.GetInstanceId(usbDevice, &usbInstanceId) ||
        !topology.GetParent(usbDevice, &hubDevice) ||
        !topology.GetInstanceId(hubDevice, &hubInstanceId)) {
        return 0;
    }
    CHubHandle hub(topology, topology.OpenHub(UsbHubInterfacePath(hubInstanceId)));
    if (!hub.IsValid()) return 0;
    ULONG port = 0;
    BYTE descriptor[18] = {};
    if (!FindPortDescriptor(topology, hub.Get(), usbInstanceId, &port, descriptor)) return 0;

    wchar_t prefix[16] = {};
    swprintf(prefix, 16, L"%4.4x_%4.4x_", ReadLe16(descriptor + usbhub::kVendorOffset),
             ReadLe16(descriptor + usbhub::kProductOffset));
    std::wstring id = prefix;
    const BYTE serialIndex = descriptor[usbhub::kSerialIndexOffset];
    if (serialIndex != 0) {
        std::wstring serial;
        if (!ReadSerialNumber(topology, hub.Get(), port, serialIndex, &serial)) return 0;
        id += serial;
    }
    *deviceId = id;
    return 0;
}
