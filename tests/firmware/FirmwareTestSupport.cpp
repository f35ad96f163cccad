#include "tests/firmware/FirmwareTestSupport.h"

#include <algorithm>
#include <cstring>

#include "firmware/DebugLog.h"
#include "firmware/FirmwareState.h"
#include "firmware/MtpObjects.h"
#include "library/device/WpdContentAccess.h"

namespace {

std::vector<std::wstring> g_lines;

void CaptureLine(const wchar_t* line) { g_lines.push_back(line); }

}  // namespace

std::vector<BYTE> MtpDeviceInfo(const std::string& model, const std::string& version, const std::string& secondVersion,
                                const std::string& serial, BYTE first, BYTE second) {
    std::vector<BYTE> reply(144, 0);
    memcpy(reply.data() + 16, model.data(), std::min<size_t>(model.size(), 16));
    memcpy(reply.data() + 36, version.data(), std::min<size_t>(version.size(), 4));
    memcpy(reply.data() + 44, secondVersion.data(), std::min<size_t>(secondVersion.size(), 4));
    memcpy(reply.data() + 60, serial.data(), std::min<size_t>(serial.size(), 16));
    reply[112] = first;
    reply[113] = second;
    return reply;
}

std::wstring MtpDeviceId(uint16_t product, const std::wstring& usbSerial) {
    wchar_t id[160];
    swprintf(id, 160, L"\\\\?\\usb#vid_%04x&pid_%04x#%ls#{6ac27878-a6fa-4155-ba85-f98f491d4f33}", kVendor, product,
             usbSerial.c_str());
    return id;
}

std::vector<std::wstring>& FirmwareTest::TraceLines() { return g_lines; }

bool FirmwareTest::Traced(const std::wstring& line) const {
    return std::find(g_lines.begin(), g_lines.end(), line) != g_lines.end();
}

void FirmwareTest::SetUp() {
    comInitialized_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    ASSERT_EQ(S_OK, standin_.Install());
    g_lines.clear();
    SetDebugSink(&CaptureLine);
    SetMassStorageSystem(&machine_);
    AttachFirmwareLibrary();
}

void FirmwareTest::TearDown() {
    DetachFirmwareLibrary();
    // The lists outlive a test as they outlive a scan: an empty machine clears them.
    CSimulatedMassStorage empty;
    SetMassStorageSystem(&empty);
    standin_.Reset();
    GetDevices();
    SetMassStorageSystem(nullptr);
    SetDebugSink(nullptr);
    if (comInitialized_) CoUninitialize();
}

SimulatedDrive& FirmwareTest::AddMscPlayer(wchar_t letter, const std::string& serial, uint16_t product) {
    folders_.push_back(std::make_unique<CScratchFolder>());
    return machine_.AddPlayer(letter, folders_.back()->Path(), kVendor, product, serial);
}

std::wstring FirmwareTest::AddMtpPlayer(const std::wstring& id, const std::string& serial, uint64_t capacity) {
    folders_.push_back(std::make_unique<CScratchFolder>());
    EXPECT_EQ(S_OK, standin_.Attach(id, L"Tornelle", folders_.back()->Path(), capacity));
    EXPECT_EQ(S_OK, standin_.SetVendor(id, L"microsoft.com: 1.0; tavrel.com: 1.0;", {0x9401, 0x9402},
                                       MtpDeviceInfo("NW-T200", "2.05", "0.40", serial, 0x1b, 0x2c)));
    return folders_.back()->Path();
}

std::wstring FirmwareTest::Image(const std::wstring& name, size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + 3);
    images_.WriteFile(name, bytes);
    return images_.Join(name);
}

std::string FirmwareTest::MtpObjectData(const std::wstring& id, const std::wstring& path) {
    CScopedComPtr<IPortableDevice> device;
    if (FAILED(OpenMtpDevice(id.c_str(), &device))) return "<unopened>";
    CCriticalSection lock;
    std::string data = "<missing>";
    {
        CWpdContentAccess access(device.Get(), lock);
        std::wstring storage, parent, found;
        if (SUCCEEDED(FindDeviceRootObject(access, &storage)) &&
            SUCCEEDED(CreateFolderPath(access, path, storage, false, true, &parent, &found))) {
            data = ReadObjectData(access.Content(), found);
        }
    }
    device->Close();
    return data;
}

bool FirmwareTest::MtpObjectExists(const std::wstring& id, const std::wstring& path) {
    return MtpObjectData(id, path) != "<missing>";
}
