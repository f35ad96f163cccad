// The device check's side of the coordinator: file-type masks, kind flags, the device
// description automation receives, and the movie settings a player's document gives.
#include "tests/app/coordinator/CoordinatorTestSupport.h"

#include "library/util/Settings.h"

namespace {

struct MaskCase {
    const char* name;
    CapabilityLists lists;
    uint32_t audio;
    uint32_t video;
    uint32_t feedAudio;
    uint32_t feedVideo;
    const wchar_t* switches;  // kinds 0 to 3
};

const MaskCase kMaskCases[] = {
    {"audio and images only", {"mp3,WMA,aac", "jpg,png", "", "", "", false, "", false},
     0x2 | 0x4 | 0x40 | 0x20000 | 0x100000, 0, 0, 0, L"1|1|0|0"},
    {"every audio extension", {"mp3,wma,mp4,3gp,m4a,aac,wav,zel,zq3", "", "", "", "", false, "", false},
     0x3FE, 0, 0, 0, L"1|0|0|0"},
    {"every image extension", {"mp3", "jpg,jpeg,jpe,png,bmp", "", "", "", false, "", false},
     0x2 | 0x3E0000, 0, 0, 0, L"1|1|0|0"},
    {"video without feed video: feeds take the plain video bits",
     {"mp3", "", "wmv,mp4,mpeg,mp2v,unknown", "mp3", "", false, "", false},
     0x2, 0x8 | 0x2 | 0x10000 | 0x100000, 0x2, 0x8 | 0x2 | 0x10000 | 0x100000, L"1|0|1|1"},
    {"feed video list of its own", {"mp3", "", "wmv,avi", "", "mp4", false, "", false},
     0x2, 0x8 | 0x80, 0, 0x2, L"1|0|1|1"},
    {"feed lists: bit 25 in the video masks, only the low 24 bits copied",
     {"mp3", "", "m4v", "wma", "", true, "", false},
     0x2, 0x4 | 0x2000000, 0x4, 0x2000000 | 0x4, L"1|0|1|1"},
    {"feed lists alone make kind 3", {"mp3", "", "", "", "", true, "", false},
     0x2, 0x2000000, 0, 0x2000000, L"1|0|0|1"},
};

std::wstring TakeBstr(BSTR text) {
    std::wstring copy = text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return copy;
}

std::vector<std::wstring> Fields(const std::wstring& text) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    for (;;) {
        const size_t bar = text.find(L'|', start);
        fields.push_back(text.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start));
        if (bar == std::wstring::npos) return fields;
        start = bar + 1;
    }
}

}  // namespace

TEST_F(CoordinatorTest, FileTypeMasksFollowTheCapabilityDocument) {
    for (const MaskCase& test : kMaskCases) {
        SCOPED_TRACE(test.name);
        ConnectPlayer(CapabilityDocument(test.lists));
        ASSERT_EQ(CTransferManager::kStateFound, coordinator_->GetLastDeviceState());
        const CQBCommonManager::FileTypeMasks masks = coordinator_->GetFileTypeMasks();
        EXPECT_EQ(test.audio, masks.audio);
        EXPECT_EQ(test.video, masks.video);
        EXPECT_EQ(test.feedAudio, masks.feedAudio);
        EXPECT_EQ(test.feedVideo, masks.feedVideo);
        BSTR switches = nullptr;
        coordinator_->GetSyncSwitches(&switches);
        EXPECT_EQ(test.switches, TakeBstr(switches));
        // Kind 4: the MTP controller is the active one.
        EXPECT_TRUE(coordinator_->GetSyncSwitch(4));
        EXPECT_FALSE(coordinator_->GetSyncSwitch(5));
        EXPECT_FALSE(coordinator_->GetSyncSwitch(-1));
        // Unplug so that the next document is read by a fresh check.
        coordinator_->OnDeviceStateChanged();
        ASSERT_EQ(CTransferManager::kStateNoPlayer, coordinator_->GetLastDeviceState());
    }
}

TEST_F(CoordinatorTest, MassStoragePlayerLeavesKindFourClear) {
    ConnectPlayer(CapabilityDocument({"mp3", "", "", "", "", false, "", false}), false);
    ASSERT_EQ(CTransferManager::kStateFound, coordinator_->GetLastDeviceState());
    EXPECT_TRUE(coordinator_->GetSyncSwitch(0));
    EXPECT_FALSE(coordinator_->GetSyncSwitch(4));
}

TEST_F(CoordinatorTest, DeviceDescriptionWithoutPlayer) {
    coordinator_->BuildDeviceDescription(0, 1);
    const std::vector<std::wstring> texts = events_.Texts(IAutomationEvents::kInvoke);
    ASSERT_EQ(1u, texts.size());
    // connected|icon|volume|free KiB|kinds (5)|device text|presets (3)|sync flags (3)|autoexec|
    // analysis|UI mode|extra
    const std::vector<std::wstring> expected = {L"0", L"", L"", L"0", L"0", L"0", L"0", L"0", L"1", L"",
                                                L"", L"", L"", L"0", L"0", L"0", L"0", L"0", L"0", L"1"};
    EXPECT_EQ(expected, Fields(texts[0]));
}

TEST_F(CoordinatorTest, DeviceDescriptionOfAConnectedPlayer) {
    ASSERT_TRUE(SetCurrentDevId(L"dev1"));
    ASSERT_TRUE(data_.WriteFile(L"icon-source.ico", "not really an icon"));
    mtp_.iconSource = data_.Join(L"icon-source.ico");
    ConnectPlayer(CapabilityDocument({"mp3", "", "wmv", "", "", false, "", false}));
    ASSERT_TRUE(WriteSyncEnabled(2, true));
    ASSERT_TRUE(WriteSyncAutoexec(false));
    events_.Clear();
    for (int state : {1, 2, 4, 3}) {
        SCOPED_TRACE(state);
        coordinator_->BuildDeviceDescription(state, 0);
        const std::vector<std::wstring> texts = events_.Texts(IAutomationEvents::kInvoke);
        ASSERT_FALSE(texts.empty());
        const std::vector<std::wstring> fields = Fields(texts.back());
        ASSERT_EQ(20u, fields.size());
        if (state == 3) {
            EXPECT_EQ(L"0", fields[0]);
            EXPECT_EQ(L"", fields[2]);
            continue;
        }
        EXPECT_EQ(L"1", fields[0]);
        EXPECT_EQ(coordinator_->TransferStage().GetDeviceIconPath(), fields[1]);
        EXPECT_FALSE(fields[1].empty());
        EXPECT_EQ(L"FAKE", fields[2]);             // volume name
        EXPECT_EQ(L"1", fields[3]);                // 1000 bytes free, rounded up
        EXPECT_EQ((std::vector<std::wstring>{L"1", L"0", L"1", L"0", L"1"}),
                  std::vector<std::wstring>(fields.begin() + 4, fields.begin() + 9));
        EXPECT_EQ((std::vector<std::wstring>{L"0", L"1", L"0"}),
                  std::vector<std::wstring>(fields.begin() + 13, fields.begin() + 16));
        EXPECT_EQ(L"0", fields[16]);  // automatic sync
        EXPECT_EQ(L"0", fields[17]);  // ordinary player: no forced analysis
        EXPECT_EQ(L"0", fields[19]);
    }
}

TEST_F(CoordinatorTest, WmvFormatTakesTheDocumentsFiguresWithTheirKnownSlips) {
    struct Case {
        const char* videoRate;
        const char* audioRate;
        bool withAudio;
        uint32_t expectedVideo;
        uint32_t expectedAudio;
    };
    const Case cases[] = {
        {"25000000", "28800", true, 2500000, 288000},
        {"768000", "128000", true, 768000, 128000},
        {"2500000", "288000", true, 2500000, 288000},
        {"25000001", "28801", true, 25000001, 28801},
        {"25000000", "", false, 2500000, 0},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.videoRate);
        std::string audio = test.withAudio ? std::string("<AudioCapability><MaxBitrate>") + test.audioRate +
                                                 "</MaxBitrate></AudioCapability>"
                                           : std::string();
        CapabilityLists lists{"mp3", "", "", "", "", false, "", false};
        lists.extra = std::string("<Video><Format><Extension>wmv</Extension></Format><VideoCapability><MaxBitrate>") +
                      test.videoRate +
                      "</MaxBitrate><MaxDimension><Height>272</Height><Width>480</Width></MaxDimension>"
                      "</VideoCapability>" +
                      audio + "</Video>";
        ConnectPlayer(CapabilityDocument(lists));
        const CQBCommonManager::WmvFormat format = coordinator_->GetWmvVideoFormat();
        EXPECT_EQ(480u, format.width);
        EXPECT_EQ(272u, format.height);
        EXPECT_EQ(test.expectedVideo, format.videoBitRate);
        EXPECT_EQ(test.expectedAudio, format.audioBitRate);
        coordinator_->OnDeviceStateChanged();
    }
}

TEST_F(CoordinatorTest, WmvFormatDefaultsWithoutAnEntry) {
    const CQBCommonManager::WmvFormat format = coordinator_->GetWmvVideoFormat();
    EXPECT_EQ(320u, format.width);
    EXPECT_EQ(240u, format.height);
}

TEST_F(CoordinatorTest, UnpluggedPlayerClearsMasksAndDescribesNoDevice) {
    ConnectPlayer(CapabilityDocument({"mp3", "jpg", "wmv", "", "", false, "", false}));
    events_.Clear();
    coordinator_->OnDeviceStateChanged();
    EXPECT_EQ(CTransferManager::kStateNoPlayer, coordinator_->GetLastDeviceState());
    const std::vector<std::wstring> texts = events_.Texts(IAutomationEvents::kInvoke);
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ(L"0", Fields(texts[0])[0]);
    EXPECT_EQ(1, events_.Count(IAutomationEvents::kEnd));  // the cancel of the run
}

TEST_F(CoordinatorTest, AnalysisModeFollowsTheSettingAndTheDocument) {
    struct Case {
        int mode;  // -1: missing
        bool ravelin;
        bool expected;
    };
    const Case cases[] = {{-1, true, false}, {0, true, true}, {0, false, false}, {1, false, true}, {2, true, false},
                          {7, true, false}};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.mode);
        if (test.mode >= 0) SetSetting(L"AnalysisMode", static_cast<DWORD>(test.mode));
        CapabilityLists lists{"mp3", "", "", "", "", false, "", test.ravelin};
        ConnectPlayer(CapabilityDocument(lists));
        EXPECT_EQ(test.ravelin, coordinator_->IsRavelinSupported());
        EXPECT_EQ(test.expected, coordinator_->AnalysisModeOn());
        coordinator_->OnDeviceStateChanged();
    }
}
