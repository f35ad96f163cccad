#include "tests/firmware/FirmwareTestSupport.h"

#include <algorithm>

#include "firmware/DebugLog.h"
#include "firmware/FirmwareState.h"
#include "firmware/MtpObjects.h"
#include "library/device/WpdContentAccess.h"

namespace {

std::vector<std::wstring> g_lines;

void CaptureLine(const wchar_t* line) { g_lines.push_back(line); }

}  // namespace

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
    EXPECT_EQ(S_OK, standin_.SetVendor(id, kPlayerExtensionDescription, kPlayerOpcodes,
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
