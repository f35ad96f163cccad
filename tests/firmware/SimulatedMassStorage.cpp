#include "tests/firmware/SimulatedMassStorage.h"

#include <algorithm>
#include <cstring>

#include "firmware/PlayerIdentity.h"
#include "library/device/UsbIdentity.h"

namespace {

constexpr DEVINST kUsbDeviceBase = 100;
constexpr DEVINST kHub = 1000;
const wchar_t kHubInstanceId[] = L"USB\\ROOT_HUB20\\4&1";
HANDLE const kHubHandle = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x4242));
constexpr BYTE kProductStringIndex = 2;
constexpr BYTE kSerialStringIndex = 3;

void WriteLe16(BYTE* bytes, uint16_t value) {
    bytes[0] = static_cast<BYTE>(value);
    bytes[1] = static_cast<BYTE>(value >> 8);
}

std::vector<BYTE> StringDescriptor(const std::wstring& text) {
    std::vector<BYTE> descriptor(2 + 2 * text.size());
    descriptor[0] = static_cast<BYTE>(descriptor.size());
    descriptor[1] = 3;
    for (size_t i = 0; i < text.size(); ++i) WriteLe16(&descriptor[2 + 2 * i], static_cast<uint16_t>(text[i]));
    return descriptor;
}

void PutText(std::vector<BYTE>* reply, size_t offset, const std::string& text, size_t fieldSize) {
    memcpy(reply->data() + offset, text.data(), std::min(text.size(), fieldSize));
}

// A volume of a simulated drive: answers by the CDB's operation code and records the CDB.
class CSimulatedScsiPort : public IScsiPort {
public:
    CSimulatedScsiPort(SimulatedDrive& drive, DWORD deviceNumber) : drive_(drive), deviceNumber_(deviceNumber) {}

    HRESULT Execute(const BYTE* cdb, BYTE cdbLength, BYTE* data, DWORD dataLength, ScsiSense* sense,
                    DWORD* transferred) override {
        drive_.commands.emplace_back(cdb, cdb + cdbLength);
        const std::vector<BYTE>* reply = nullptr;
        BYTE senseKey = 0;
        if (cdbLength >= 1 && cdb[0] == 0x12) {
            reply = &drive_.inquiry;
            senseKey = drive_.inquirySense;
        } else if (cdbLength >= 3 && cdb[0] == 0xfc && cdb[2] == 0x20) {
            reply = &drive_.deviceInfo;
            senseKey = drive_.deviceInfoSense;
        }
        DWORD count = 0;
        if (reply && senseKey == 0) {
            count = static_cast<DWORD>(std::min<size_t>(reply->size(), dataLength));
            if (count) memcpy(data, reply->data(), count);
        }
        if (transferred) *transferred = reply && drive_.overstatesLength ? static_cast<DWORD>(reply->size()) : count;
        if (sense) {
            *sense = ScsiSense();
            sense->senseKey = senseKey;
        }
        return senseKey == 0 ? S_OK : E_FAIL;
    }
    bool GetDeviceNumber(DWORD* number) override {
        *number = deviceNumber_;
        return true;
    }

private:
    SimulatedDrive& drive_;
    DWORD deviceNumber_;
};

}  // namespace

std::vector<BYTE> InquiryReply(const std::string& vendor, const std::string& product) {
    std::vector<BYTE> reply(96, 0);
    reply[0] = 0x00;  // direct-access device
    reply[1] = 0x80;  // removable medium
    std::string paddedVendor = vendor, paddedProduct = product;
    paddedVendor.resize(8, ' ');
    paddedProduct.resize(16, ' ');
    PutText(&reply, 8, paddedVendor, 8);
    PutText(&reply, 16, paddedProduct, 16);
    return reply;
}

std::vector<BYTE> MassStorageDeviceInfo(const std::string& model, const std::string& version,
                                        const std::string& secondVersion, const std::string& serial, BYTE first,
                                        BYTE second) {
    std::vector<BYTE> reply(128, 0);
    PutText(&reply, 24, model, 16);
    PutText(&reply, 40, version, 4);
    PutText(&reply, 44, secondVersion, 4);
    PutText(&reply, 52, serial, 16);
    reply[96] = first;
    reply[97] = second;
    return reply;
}

SimulatedDrive& CSimulatedMassStorage::AddPlayer(wchar_t letter, const std::wstring& root, uint16_t usbVendor,
                                                 uint16_t usbProduct, const std::string& serial) {
    SimulatedDrive drive;
    drive.root = root;
    drive.inquiry = InquiryReply("TAVREL", "TORNELLE");
    drive.deviceInfo = MassStorageDeviceInfo("NW-T100", "1.02", "0.31", serial, 0x0a, 0x3c);
    wchar_t instanceId[128];
    const std::wstring wideSerial(serial.begin(), serial.end());
    swprintf(instanceId, 128, L"USB\\VID_%04X&PID_%04X\\%ls", usbVendor, usbProduct, wideSerial.c_str());
    drive.usbInstanceId = instanceId;
    drive.usbVendor = usbVendor;
    drive.usbProduct = usbProduct;
    drive.usbSerial = wideSerial;
    drive.usbProductString = kPlayerProductString;
    return AddDrive(letter, drive);
}

SimulatedDrive& CSimulatedMassStorage::AddDrive(wchar_t letter, const SimulatedDrive& drive) {
    SimulatedDrive& added = Drive(letter);
    added = drive;
    return added;
}

DWORD CSimulatedMassStorage::LogicalDrives() {
    DWORD mask = 0;
    for (const auto& entry : drives_) mask |= 1u << (entry.first - L'A');
    return mask;
}

UINT CSimulatedMassStorage::DriveType(wchar_t letter) {
    auto found = drives_.find(letter);
    return found == drives_.end() ? DRIVE_NO_ROOT_DIR : found->second.driveType;
}

std::unique_ptr<IScsiPort> CSimulatedMassStorage::OpenVolume(wchar_t letter) {
    auto found = drives_.find(letter);
    if (found == drives_.end() || !found->second.opens) return nullptr;
    return std::unique_ptr<IScsiPort>(new CSimulatedScsiPort(found->second, static_cast<DWORD>(letter - L'A')));
}

std::wstring CSimulatedMassStorage::DriveRoot(wchar_t letter) {
    auto found = drives_.find(letter);
    return found == drives_.end() ? std::wstring(1, letter) + L":" : found->second.root;
}

bool CSimulatedMassStorage::FreeBytes(wchar_t letter, ULONGLONG* bytes) {
    auto found = drives_.find(letter);
    if (found == drives_.end()) return false;
    *bytes = found->second.freeBytes;
    return true;
}

bool CSimulatedMassStorage::GetDeviceNumber(HANDLE, DWORD*) { return false; }

bool CSimulatedMassStorage::FindDiskByDeviceNumber(DWORD number, DEVINST* disk) {
    if (number >= 26 || !drives_.count(static_cast<wchar_t>(L'A' + number))) return false;
    *disk = number;
    return true;
}

bool CSimulatedMassStorage::GetParent(DEVINST child, DEVINST* parent) {
    if (child < 26) {
        *parent = kUsbDeviceBase + child;
    } else if (child >= kUsbDeviceBase && child < kUsbDeviceBase + 26) {
        *parent = kHub;
    } else {
        return false;
    }
    return true;
}

bool CSimulatedMassStorage::GetInstanceId(DEVINST instance, std::wstring* instanceId) {
    if (instance < 26) {
        *instanceId = L"USBSTOR\\DISK&VEN_TAVREL&PROD_TORNELLE\\" + std::to_wstring(instance);
        return true;
    }
    if (instance == kHub) {
        *instanceId = kHubInstanceId;
        return true;
    }
    if (instance < kUsbDeviceBase) return false;
    auto found = drives_.find(static_cast<wchar_t>(L'A' + (instance - kUsbDeviceBase)));
    if (found == drives_.end() || found->second.usbInstanceId.empty()) return false;
    *instanceId = found->second.usbInstanceId;
    return true;
}

HANDLE CSimulatedMassStorage::OpenHub(const std::wstring& path) {
    return path == UsbHubInterfacePath(kHubInstanceId) ? kHubHandle : INVALID_HANDLE_VALUE;
}

void CSimulatedMassStorage::CloseHub(HANDLE) {}

SimulatedDrive* CSimulatedMassStorage::DriveOnPort(ULONG port) {
    if (port < 1 || port > 26) return nullptr;
    auto found = drives_.find(static_cast<wchar_t>(L'A' + port - 1));
    if (found == drives_.end() || found->second.usbInstanceId.empty()) return nullptr;
    return &found->second;
}

bool CSimulatedMassStorage::HubControl(HANDLE hub, DWORD code, void* buffer, DWORD inSize, DWORD outSize,
                                       DWORD* returned) {
    if (hub != kHubHandle) return false;
    auto* bytes = static_cast<BYTE*>(buffer);
    ULONG port = 0;
    if (inSize >= sizeof(ULONG)) memcpy(&port, bytes, sizeof(ULONG));
    if (code == usbhub::kGetNodeInformation && outSize >= usbhub::kNodeInformationSize) {
        memset(bytes, 0, outSize);
        bytes[usbhub::kPortCountOffset] = 26;
        *returned = usbhub::kNodeInformationSize;
        return true;
    }
    if (code == usbhub::kGetNodeConnectionInformation && outSize >= usbhub::kConnectionInformationSize) {
        memset(bytes + sizeof(ULONG), 0, outSize - sizeof(ULONG));
        if (SimulatedDrive* drive = DriveOnPort(port)) {
            BYTE* descriptor = bytes + usbhub::kDeviceDescriptorOffset;
            descriptor[0] = 18;
            descriptor[1] = 1;
            WriteLe16(descriptor + usbhub::kVendorOffset, drive->usbVendor);
            WriteLe16(descriptor + usbhub::kProductOffset, drive->usbProduct);
            descriptor[15] = kProductStringIndex;
            descriptor[usbhub::kSerialIndexOffset] = kSerialStringIndex;
            bytes[usbhub::kConnectionStatusOffset] = static_cast<BYTE>(usbhub::kDeviceConnected);
        }
        *returned = usbhub::kConnectionInformationSize;
        return true;
    }
    if (code == usbhub::kGetDescriptorFromNodeConnection && outSize >= usbhub::kDescriptorRequestSize) {
        SimulatedDrive* drive = DriveOnPort(port);
        if (!drive) return false;
        const BYTE index = bytes[usbhub::kSetupPacketOffset + 2];
        std::vector<BYTE> descriptor;
        if (index == 0) {
            descriptor = {4, 3, 0x09, 0x04};
        } else if (index == kSerialStringIndex) {
            descriptor = StringDescriptor(drive->usbSerial);
        } else if (index == kProductStringIndex) {
            descriptor = StringDescriptor(drive->usbProductString);
        } else {
            return false;
        }
        memcpy(bytes + usbhub::kDescriptorDataOffset, descriptor.data(), descriptor.size());
        *returned = static_cast<DWORD>(usbhub::kDescriptorDataOffset + descriptor.size());
        return true;
    }
    return false;
}

bool CSimulatedMassStorage::FindUsbInstanceByDriverKey(const std::wstring&, std::wstring*) { return false; }
