#include "firmware/UsbParentIds.h"

#include <cstring>
#include <vector>

#include "firmware/DebugLog.h"
#include "firmware/DeviceInfoReply.h"
#include "firmware/PlayerIdentity.h"
#include "library/device/UsbIdentity.h"
#include "library/device/UsbTopology.h"

namespace {

constexpr size_t kMaxIdChars = 259;
constexpr size_t kMaxDescriptorChars = 257;
// Connection information with room for the pipes of a device's configuration.
constexpr DWORD kConnectionInformationBufferSize = 388;
constexpr size_t kProductIndexOffset = 15;

uint16_t ReadLe16(const BYTE* bytes) { return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)); }
uint32_t ReadLe32(const BYTE* bytes) {
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

std::wstring Cut(const std::wstring& text) { return text.substr(0, kMaxIdChars); }

class CHub {
public:
    CHub(IUsbTopology& topology, HANDLE hub) : topology_(topology), hub_(hub) {}
    ~CHub() {
        if (IsOpen()) topology_.CloseHub(hub_);
    }
    CHub(const CHub&) = delete;
    CHub& operator=(const CHub&) = delete;
    bool IsOpen() const { return hub_ != INVALID_HANDLE_VALUE && hub_ != nullptr; }
    HANDLE Get() const { return hub_; }

private:
    IUsbTopology& topology_;
    HANDLE hub_;
};

}  // namespace

bool IsPlayerProductString(const std::wstring& productString) { return productString == kPlayerProductString; }

WORD GetUsbStringDescriptor(IUsbTopology& topology, HANDLE hub, ULONG port, BYTE index, std::wstring* text) {
    text->clear();
    std::vector<BYTE> languages;
    WORD languageId = 0;
    if (!ReadUsbStringDescriptor(topology, hub, port, 0, 0, 4, &languages)) {
        DebugLine(L" *** ERROR *** String Descriptor 0 not returned");
    } else if (languages.size() >= 4) {
        languageId = ReadLe16(languages.data() + 2);
    }
    std::vector<BYTE> descriptor;
    if (!ReadUsbStringDescriptor(topology, hub, port, index, languageId, 255, &descriptor)) return languageId;
    for (size_t offset = 2; offset + 1 < descriptor.size() && text->size() < kMaxDescriptorChars; offset += 2) {
        const wchar_t c = static_cast<wchar_t>(ReadLe16(descriptor.data() + offset));
        if (c == L'\0') break;
        text->push_back(c);
    }
    return languageId;
}

bool FindUsbParentIds(IUsbTopology& topology, DWORD deviceNumber, UsbParentIds* ids) {
    DEVINST disk = 0, usbDevice = 0, hubDevice = 0;
    std::wstring diskId, parentId, hubId;
    if (!topology.FindDiskByDeviceNumber(deviceNumber, &disk) || !topology.GetInstanceId(disk, &diskId) ||
        !topology.GetParent(disk, &usbDevice) || !topology.GetInstanceId(usbDevice, &parentId) ||
        !topology.GetParent(usbDevice, &hubDevice) || !topology.GetInstanceId(hubDevice, &hubId)) {
        return false;
    }
    CHub hub(topology, topology.OpenHub(UsbHubInterfacePath(hubId)));
    if (!hub.IsOpen()) return false;

    BYTE node[usbhub::kNodeInformationSize] = {};
    DWORD returned = 0;
    if (!topology.HubControl(hub.Get(), usbhub::kGetNodeInformation, node, sizeof(node), sizeof(node), &returned) ||
        returned <= usbhub::kPortCountOffset) {
        return false;
    }
    const std::vector<std::wstring> tokens = SplitIdentifier(parentId, L"\\_&");
    const ULONG portCount = node[usbhub::kPortCountOffset];
    for (ULONG port = 1; port <= portCount; ++port) {
        BYTE connection[kConnectionInformationBufferSize] = {};
        memcpy(connection, &port, sizeof(ULONG));
        returned = 0;
        if (!topology.HubControl(hub.Get(), usbhub::kGetNodeConnectionInformation, connection, sizeof(connection),
                                 sizeof(connection), &returned) ||
            returned < usbhub::kConnectionInformationSize) {
            DebugLine(L"Error");
            continue;
        }
        if (ReadLe32(connection + usbhub::kConnectionStatusOffset) != usbhub::kDeviceConnected) continue;
        const BYTE* descriptor = connection + usbhub::kDeviceDescriptorOffset;
        std::wstring serial, product;
        GetUsbStringDescriptor(topology, hub.Get(), port, descriptor[usbhub::kSerialIndexOffset], &serial);
        GetUsbStringDescriptor(topology, hub.Get(), port, descriptor[kProductIndexOffset], &product);
        wchar_t vendor[8], productId[8];
        swprintf(vendor, 8, L"%04X", ReadLe16(descriptor + usbhub::kVendorOffset));
        swprintf(productId, 8, L"%04X", ReadLe16(descriptor + usbhub::kProductOffset));
        if (tokens.size() > 5 && tokens[2] == vendor && tokens[4] == productId && tokens[5] == serial) {
            ids->parentId = Cut(parentId);
            ids->diskId = Cut(diskId);
            ids->productString = Cut(product);
            return true;
        }
    }
    return false;
}
