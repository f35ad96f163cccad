#include <gtest/gtest.h>

#include <windows.h>
#include <dbt.h>
#include <psapi.h>

#include "detector/MainFrame.h"
#include "library/capability/CapabilityNamespace.h"
#include "library/util/Settings.h"
#include "tests/installer/InstallerTestSupport.h"
#include "tests/transfer/FakeDeviceController.h"
#include "tests/util/UtilTestSupport.h"

namespace {

std::string Capability(const std::string& audioExtension) {
    const std::string audio =
        audioExtension.empty() ? "" : "<Audio><Format><Extension>" + audioExtension + "</Extension></Format></Audio>";
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Devices xmlns=\"") + QB_CAPABILITY_NAMESPACE_URI +
           "\"><Device><PlaybackCapabilities>" + audio + "</PlaybackCapabilities></Device></Devices>";
}

class DetectorFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(registry_.IsActive());
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        auto mtp = std::make_unique<CFakeDeviceController>(mtpRoot_.Path() + L"\\");
        auto msc = std::make_unique<CFakeDeviceController>(mscRoot_.Path() + L"\\");
        mtp_ = mtp.get();
        msc_ = msc.get();
        CMainFrame::Args args;
        args.mtp = std::move(mtp);
        args.massStorage = std::move(msc);
        args.launch = [this] {
            ++launches_;
            if (launchAction_) launchAction_();
        };
        args.readUIMode = [this] { return uiMode_; };
        args.settleMs = 30;
        frame_ = std::make_unique<CMainFrame>(std::move(args));
        ASSERT_TRUE(frame_->Create());
    }
    void TearDown() override {
        frame_.reset();
        CoUninitialize();
    }

    // A mass-storage player (the MTP side finds nothing) with the given capability document.
    void PlugMassStorage(const std::string& capability) {
        mtp_->findResults.assign(8, 0);
        msc_->findResults.assign(8, 1);
        msc_->capability = capability;
    }

    // Sends the device-node change and lets the settle time pass.
    void DeviceNodesChanged(int times = 1) {
        for (int i = 0; i < times; ++i) SendMessageW(frame_->Window(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
        Pump(200);
    }

    static void Pump(DWORD ms) {
        const DWORD start = GetTickCount();
        MSG message;
        while (GetTickCount() - start < ms) {
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            Sleep(5);
        }
    }

    CScratchRegistry registry_;
    CScratchFolder mtpRoot_, mscRoot_;
    CFakeDeviceController* mtp_ = nullptr;
    CFakeDeviceController* msc_ = nullptr;
    std::unique_ptr<CMainFrame> frame_;
    int uiMode_ = 0;
    int launches_ = 0;
    std::function<void()> launchAction_;
};

}  // namespace

TEST_F(DetectorFrameTest, AutomaticStartDecidesWhetherAPlayerStartsTheProgram) {
    PlugMassStorage(Capability("mp3"));
    DeviceNodesChanged();
    EXPECT_EQ(0, launches_) << "AutoExec missing";
    ASSERT_TRUE(WriteSettingDword(L"AutoExec", 0));
    DeviceNodesChanged();
    EXPECT_EQ(0, launches_) << "AutoExec 0";
    ASSERT_TRUE(WriteSettingDword(L"AutoExec", 1));
    DeviceNodesChanged();
    EXPECT_EQ(1, launches_);
    EXPECT_EQ(2, frame_->ActiveKind());
    // Other device events are not looked at.
    SendMessageW(frame_->Window(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
    Pump(200);
    EXPECT_EQ(1, launches_);
}

TEST_F(DetectorFrameTest, APlayerStartsTheProgramBesideTheDetectorWithTheSyncFlag) {
    CInstallerRun run(L"QuillbayDetector.exe", L"Quillbay.exe");
    ASSERT_TRUE(run.IsValid());
    SetEnvironmentVariableW(L"QB_RECORD_FILE", run.Folder().Join(L"recorded.txt").c_str());
    launchAction_ = [&run] { LaunchMainProgramFrom(run.Folder().Path() + L"\\"); };
    ASSERT_TRUE(WriteSettingDword(L"AutoExec", 1));
    PlugMassStorage(Capability("mp3"));
    DeviceNodesChanged();
    ASSERT_EQ(1, launches_);
    const std::wstring recorded = run.Recorded(15000);
    ASSERT_FALSE(recorded.empty()) << "the program was not started";
    EXPECT_NE(std::wstring::npos, recorded.find(L"Quillbay.exe")) << recorded;
    EXPECT_EQ(L" -s\n", recorded.substr(recorded.size() - 4)) << recorded;
}

TEST_F(DetectorFrameTest, CarAudioUnitsStartTheProgramByTheirMarkerOnlyInCarAudioMode) {
    ASSERT_TRUE(WriteSettingDword(L"AutoExec", 1));
    const struct {
        std::string capability;
        bool marker;
        int uiMode;
        int launches;
    } cases[] = {
        {"", true, 1, 1},                  // no document, marker, car-audio mode
        {"", true, 2, 1},
        {"", true, 0, 0},                  // the same unit with car-audio features off
        {"", false, 2, 0},                 // no marker
        {Capability(""), true, 2, 1},      // a document without audio formats
        {"<not xml", true, 2, 0},          // an unreadable document is not a car-audio unit
        {Capability("wma"), false, 0, 1},  // a player
    };
    for (const auto& c : cases) {
        launches_ = 0;
        uiMode_ = c.uiMode;
        PlugMassStorage(c.capability);
        DeleteFileW(msc_->Full(L"Carvell.dat").c_str());
        if (c.marker) {
            ASSERT_TRUE(mscRoot_.WriteFile(L"Carvell.dat", "x"));
        }
        DeviceNodesChanged();
        EXPECT_EQ(c.launches, launches_) << c.capability << " marker " << c.marker << " mode " << c.uiMode;
        EXPECT_EQ(c.uiMode, frame_->UIMode());
    }
}

TEST_F(DetectorFrameTest, NothingStartsWhileTheSetupWizardRuns) {
    ASSERT_TRUE(WriteSettingDword(L"AutoExec", 1));
    PlugMassStorage(Capability("mp3"));
    HANDLE wizard = CreateMutexW(nullptr, TRUE, L"HalvixSetup.exe");
    ASSERT_NE(nullptr, wizard);
    DeviceNodesChanged();
    EXPECT_EQ(0, launches_);
    // The probe did not take the wizard's mutex: it is still the wizard's alone.
    ReleaseMutex(wizard);
    CloseHandle(wizard);
    HANDLE after = OpenMutexW(SYNCHRONIZE, FALSE, L"HalvixSetup.exe");
    EXPECT_EQ(nullptr, after) << "the detector kept a handle of the wizard's mutex";
    if (after) CloseHandle(after);
    DeviceNodesChanged();
    EXPECT_EQ(1, launches_);
}

TEST_F(DetectorFrameTest, ABurstOfNodeChangesStartsTheProgramOnceAndKeepsMemoryFlat) {
    ASSERT_TRUE(WriteSettingDword(L"AutoExec", 1));
    PlugMassStorage(Capability("mp3"));
    msc_->findResults.assign(100000, 1);
    DeviceNodesChanged(1000);
    EXPECT_EQ(1, launches_);
    PROCESS_MEMORY_COUNTERS before = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof(before));
    for (int round = 0; round < 5; ++round) DeviceNodesChanged(1000);
    PROCESS_MEMORY_COUNTERS after = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof(after));
    EXPECT_EQ(6, launches_);
    EXPECT_LT(after.PagefileUsage, before.PagefileUsage + (1u << 20));
}
