#include "library/device/UsbIdentity.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "library/device/UsbTopology.h"

namespace {

// A made-up bus: one volume (device number 5) on a disk whose parent USB device hangs on port
// `devicePort` of a hub. Hub controls fill their records byte by byte as a hub driver would.
class CSimulatedUsbTopology : public IUsbTopology {
public:
    struct Port {
        uint32_t connectionStatus = 1;
        std::wstring driverKey;
        uint16_t vendor = 0;
        uint16_t product = 0;
        uint8_t serialIndex = 0;
    };

    static constexpr DEVINST kDisk = 10, kUsbDevice = 11, kHub = 12;
    HANDLE const kHubHandle = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x4242));

    std::map<ULONG, Port> ports;
    uint8_t portCount = 4;
    std::map<std::wstring, std::wstring> instanceByDriverKey;
    // The serial string descriptor as the device sends it (length byte, type 3, UTF-16LE).
    std::vector<BYTE> serialDescriptor;
    bool diskPresent = true;
    int openHubs = 0;
    std::wstring openedHubPath;

    bool GetDeviceNumber(HANDLE, DWORD* number) override {
        *number = 5;
        return true;
    }
    bool FindDiskByDeviceNumber(DWORD number, DEVINST* disk) override {
        if (!diskPresent || number != 5) return false;
        *disk = kDisk;
        return true;
    }
    bool GetParent(DEVINST child, DEVINST* parent) override {
        if (child == kDisk) *parent = kUsbDevice;
        else if (child == kUsbDevice) *parent = kHub;
        else return false;
        return true;
    }
    bool GetInstanceId(DEVINST instance, std::wstring* id) override {
        if (instance == kUsbDevice) *id = L"USB\\VID_1234&PID_0AB1\\SER1";
        else if (instance == kHub) *id = L"USB\\ROOT_HUB20\\4&1";
        else return false;
        return true;
    }
    HANDLE OpenHub(const std::wstring& path) override {
        openedHubPath = path;
        ++openHubs;
        return kHubHandle;
    }
    void CloseHub(HANDLE hub) override {
        EXPECT_EQ(hub, kHubHandle);
        --openHubs;
    }
    bool FindUsbInstanceByDriverKey(const std::wstring& key, std::wstring* id) override {
        auto found = instanceByDriverKey.find(key);
        if (found == instanceByDriverKey.end()) return false;
        *id = found->second;
        return true;
    }
    bool HubControl(HANDLE hub, DWORD code, void* buffer, DWORD inSize, DWORD outSize,
                    DWORD* returned) override {
        EXPECT_EQ(hub, kHubHandle);
        EXPECT_EQ(inSize, outSize);
        auto* bytes = static_cast<BYTE*>(buffer);
        ULONG index = 0;
        memcpy(&index, bytes, 4);
        if (code == usbhub::kGetNodeInformation) {
            EXPECT_EQ(outSize, 76u);
            memset(bytes, 0, outSize);
            bytes[6] = portCount;
            *returned = outSize;
            return true;
        }
        auto port = ports.find(index);
        if (port == ports.end()) return false;
        if (code == usbhub::kGetNodeConnectionInformation) {
            EXPECT_EQ(outSize, 35u);
            memset(bytes + 4, 0, outSize - 4);
            BYTE* descriptor = bytes + 4;
            descriptor[0] = 18;
            descriptor[1] = 1;
            memcpy(descriptor + 8, &port->second.vendor, 2);
            memcpy(descriptor + 10, &port->second.product, 2);
            descriptor[16] = port->second.serialIndex;
            memcpy(bytes + 31, &port->second.connectionStatus, 4);
            *returned = outSize;
            return true;
        }
        if (code == usbhub::kGetNodeConnectionDriverKeyName) {
            const std::wstring& key = port->second.driverKey;
            const uint32_t actual = static_cast<uint32_t>(8 + (key.size() + 1) * 2);
            memcpy(bytes + 4, &actual, 4);
            if (outSize < actual) {
                *returned = outSize;
                return true;
            }
            memcpy(bytes + 8, key.c_str(), (key.size() + 1) * 2);
            *returned = actual;
            return true;
        }
        if (code == usbhub::kGetDescriptorFromNodeConnection) {
            EXPECT_EQ(outSize, 2060u);
            const BYTE* setup = bytes + 4;
            EXPECT_EQ(setup[0], 0x80);
            EXPECT_EQ(setup[1], 6);
            const uint16_t value = static_cast<uint16_t>(setup[2] | (setup[3] << 8));
            if (value == 0x0300) {
                const BYTE languages[] = {4, 3, 0x09, 0x04};
                memcpy(bytes + 12, languages, sizeof(languages));
                *returned = 12 + sizeof(languages);
                return true;
            }
            EXPECT_EQ(value, 0x0300 | port->second.serialIndex);
            EXPECT_EQ(setup[4] | (setup[5] << 8), 0x0409);  // the first language
            memcpy(bytes + 12, serialDescriptor.data(), serialDescriptor.size());
            *returned = static_cast<DWORD>(12 + serialDescriptor.size());
            return true;
        }
        return false;
    }

    // Port 1 holds another device; port 3 (listed after an empty port 2) holds ours.
    void AddPlayerOnPort3(uint8_t serialIndex) {
        ports[1] = Port{1, L"{usb}\\0001", 0xaaaa, 0xbbbb, 0};
        ports[2] = Port{0, L"", 0, 0, 0};
        ports[3] = Port{1, L"{usb}\\0003", 0x1234, 0x0ab1, serialIndex};
        instanceByDriverKey[L"{usb}\\0001"] = L"USB\\VID_AAAA&PID_BBBB\\X";
        instanceByDriverKey[L"{usb}\\0003"] = L"USB\\VID_1234&PID_0AB1\\SER1";
    }
    void SetSerial(const std::wstring& text, BYTE claimedLength) {
        serialDescriptor.assign({claimedLength, 3});
        for (wchar_t c : text) {
            serialDescriptor.push_back(static_cast<BYTE>(c));
            serialDescriptor.push_back(static_cast<BYTE>(c >> 8));
        }
    }
};

HANDLE const kVolume = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x77));

TEST(UsbIdentityTest, FormatsVendorProductAndSerialOfTheMatchingPort) {
    CSimulatedUsbTopology bus;
    bus.AddPlayerOnPort3(3);
    bus.SetSerial(L"AB12", 2 + 8);
    std::wstring id;
    EXPECT_EQ(GetVolumeUsbIdentity(kVolume, &id, bus), 0);
    EXPECT_EQ(id, L"1234_0ab1_AB12");
    EXPECT_EQ(bus.openedHubPath, L"\\\\.\\USB#ROOT_HUB20#4&1#{f18a0e88-c30c-11d0-8815-00a0c906bed8}");
    EXPECT_EQ(bus.openHubs, 0);
}

TEST(UsbIdentityTest, WithoutASerialStringTheIdEndsInTheUnderscore) {
    CSimulatedUsbTopology bus;
    bus.AddPlayerOnPort3(0);
    std::wstring id = L"old";
    GetVolumeUsbIdentity(kVolume, &id, bus);
    EXPECT_EQ(id, L"1234_0ab1_");
    EXPECT_EQ(id.size(), 10u);
}

TEST(UsbIdentityTest, TheSerialIsBoundedByItsDescriptorLength) {
    CSimulatedUsbTopology bus;
    bus.AddPlayerOnPort3(3);
    // The device sends six characters but its descriptor claims only three.
    bus.SetSerial(L"XYZ999", 2 + 6);
    std::wstring id;
    GetVolumeUsbIdentity(kVolume, &id, bus);
    EXPECT_EQ(id, L"1234_0ab1_XYZ");

    // A length beyond what came back is cut at the answer's end.
    bus.SetSerial(L"QR", 200);
    GetVolumeUsbIdentity(kVolume, &id, bus);
    EXPECT_EQ(id, L"1234_0ab1_QR");
}

TEST(UsbIdentityTest, AnyFailedStepLeavesTheIdUnchanged) {
    struct Case {
        const char* what;
        void (*breakIt)(CSimulatedUsbTopology&);
    };
    const Case cases[] = {
        {"no disk with the volume's number", [](CSimulatedUsbTopology& b) { b.diskPresent = false; }},
        {"device on no connected port",
         [](CSimulatedUsbTopology& b) { b.ports[3].connectionStatus = 0; }},
        {"driver key not among the USB devices",
         [](CSimulatedUsbTopology& b) { b.instanceByDriverKey.erase(L"{usb}\\0003"); }},
        {"hub reports no ports", [](CSimulatedUsbTopology& b) { b.portCount = 0; }},
        {"serial string that is not a string descriptor",
         [](CSimulatedUsbTopology& b) { b.serialDescriptor[1] = 1; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CSimulatedUsbTopology bus;
        bus.AddPlayerOnPort3(3);
        bus.SetSerial(L"S", 4);
        c.breakIt(bus);
        std::wstring id = L"previous";
        EXPECT_EQ(GetVolumeUsbIdentity(kVolume, &id, bus), 0);
        EXPECT_EQ(id, L"previous");
        EXPECT_EQ(bus.openHubs, 0);
    }
}

TEST(UsbIdentityTest, TwoIdenticalModelsDifferOnlyByTheirSerials) {
    std::wstring first, second;
    for (auto [serial, out] : {std::pair{L"0001", &first}, std::pair{L"0002", &second}}) {
        CSimulatedUsbTopology bus;
        bus.AddPlayerOnPort3(3);
        bus.SetSerial(serial, 2 + 8);
        GetVolumeUsbIdentity(kVolume, out, bus);
    }
    EXPECT_NE(first, second);
    EXPECT_EQ(first.substr(0, 10), second.substr(0, 10));
}

TEST(UsbIdentityTest, WinesRealBusLeavesTheIdAlone) {
    // Under Wine no disk interface is listed; the real walk must give up quietly.
    wchar_t windowsFolder[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryW(windowsFolder, MAX_PATH), 2u);
    const std::wstring volumePath = std::wstring(L"\\\\?\\") + windowsFolder[0] + L":";
    HANDLE volume = CreateFileW(volumePath.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    std::wstring id = L"unchanged";
    EXPECT_EQ(GetVolumeUsbIdentity(volume, &id), 0);
    EXPECT_EQ(id, L"unchanged");
    if (volume != INVALID_HANDLE_VALUE) CloseHandle(volume);
    // An invalid handle is no reason to crash either.
    EXPECT_EQ(GetVolumeUsbIdentity(INVALID_HANDLE_VALUE, &id), 0);
    EXPECT_EQ(id, L"unchanged");
}

}  // namespace
