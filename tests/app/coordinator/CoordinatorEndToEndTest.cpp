// Whole runs through the coordinator with every stage real: songs handed over as automation
// requests travel the chain and land on a simulated MTP player or on a removable-drive player.
// Only outside components are stand-ins (the portable-device player, the drives).
#include <algorithm>

#include "tests/app/coordinator/CoordinatorTestSupport.h"
#include "tests/app/coordinator/RecordingFrame.h"
#include "tests/device/SimulatedDriveFacts.h"
#include "tests/mtp/MtpTestSupport.h"
#include "tests/transfer/TransferTestSupport.h"

#include "library/device/MSCDeviceController.h"
#include "library/capability/CapabilityNamespace.h"
#include "library/media/decode/ITranscode2.h"
#include "library/util/DataFolders.h"
#include "library/util/FileSystem.h"
#include "library/util/Settings.h"

namespace {

std::wstring FromEnvironment(const wchar_t* name) {
    wchar_t value[64] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 64);
    return length > 0 && length < 64 ? std::wstring(value, length) : std::wstring();
}

// Every file below the folder, by path relative to it.
void ListFiles(const std::wstring& folder, const std::wstring& prefix, std::vector<std::wstring>* files) {
    WIN32_FIND_DATAW entry = {};
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ListFiles(folder + L"\\" + name, prefix + name + L"\\", files);
        } else {
            files->push_back(prefix + name);
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

bool HasFileEndingWith(const std::vector<std::wstring>& files, const std::wstring& tail) {
    for (const std::wstring& file : files) {
        if (file.size() >= tail.size() && file.compare(file.size() - tail.size(), tail.size(), tail) == 0) return true;
    }
    return false;
}

typedef HRESULT(STDAPICALLTYPE* ServerEntry)();

HRESULT CallServerEntry(HMODULE server, const char* name) {
    FARPROC entry = server != nullptr ? GetProcAddress(server, name) : nullptr;
    if (!entry) return E_NOINTERFACE;
    return reinterpret_cast<ServerEntry>(reinterpret_cast<void*>(entry))();
}

HMODULE LoadBeside(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring module(path);
    module = module.substr(0, module.find_last_of(L"\\/") + 1) + name;
    return LoadLibraryW(module.c_str());
}

// The simulated analysis engine and the stand-in decoders, registered while the object lives.
class CRegisteredAnalysisEngine {
public:
    CRegisteredAnalysisEngine()
        : engine_(LoadBeside(L"QbStandinAnalysis.dll")), decoders_(LoadBeside(L"QbStandinDecoders.ax")) {
        registered_ = CallServerEntry(engine_, "DllRegisterServer") == S_OK &&
                      CallServerEntry(decoders_, "DllRegisterServer") == S_OK &&
                      SUCCEEDED(CreateTranscodeSingleModeEvent());
        SetEnvironmentVariableW(L"QB_ANALYSIS_STANDIN", L"");
    }
    ~CRegisteredAnalysisEngine() {
        CloseTranscodeSingleModeEvent();
        CallServerEntry(engine_, "DllUnregisterServer");
        CallServerEntry(decoders_, "DllUnregisterServer");
    }
    bool IsRegistered() const { return registered_; }

private:
    HMODULE engine_;
    HMODULE decoders_;
    bool registered_ = false;
};

// The ASF file header object's identifier: how every converted movie begins.
const char kAsfHeaderGuid[] = "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C";

// Waits for `count` events of the kind while this thread answers the window messages that the
// coordinator's workers send to the main window.
bool WaitPumping(CRecordingEvents& events, IAutomationEvents::Kind kind, int count, DWORD limitMs) {
    const ULONGLONG deadline = GetTickCount64() + limitMs;
    while (events.Count(kind) < count) {
        if (GetTickCount64() >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    return true;
}

const char kMusicCapability[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Devices xmlns=\"" QB_CAPABILITY_NAMESPACE_URI
    "\"><Device><PlaybackCapabilities><Audio><Format><Extension>mp3</Extension></Format></Audio>"
    "</PlaybackCapabilities><FileSystem><Path content-type=\"sound\" depth=\"7\"><Target>\\MUSIC\\</Target></Path>"
    "</FileSystem></Device></Devices>";

// What every end-to-end fixture shares: the coordinator over two controllers, the sources and
// the runs a script would make through automation.
class CRunDriver {
public:
    CRunDriver(CDeviceControllerBase* mtp, CDeviceControllerBase* massStorage, const std::wstring& dataFolder) {
        CTransferManager::Controllers controllers{mtp, massStorage, [] { return false; }};
        CQBCommonManager::Options options;
        options.controllers = &controllers;
        options.dataFolder = dataFolder;
        coordinator = std::make_unique<CQBCommonManager>(std::move(options));
        coordinator->SetAutomationEvents(&events);
        coordinator->SetLauncher(&launcher);
        coordinator->TransferStage().SetWaits(1, 300);
    }

    // The songs of the test data, copied as the sources of a run.
    std::vector<std::wstring> Songs(int count) {
        std::vector<std::wstring> paths;
        for (int i = 0; i < count; ++i) {
            const std::wstring name = L"run" + std::to_wstring(++made) + L".mp3";
            const std::wstring path = sources.Join(L"Album\\" + name);
            CreateFolderTree(sources.Join(L"Album"));
            const std::wstring sample =
                std::wstring(L"" QB_TEST_DATA_DIR) + (i % 2 ? L"/tags/itunes10.mp3" : L"/mediaprobe/tagged.mp3");
            EXPECT_TRUE(CopyFileW(sample.c_str(), path.c_str(), FALSE)) << i;
            paths.push_back(path);
        }
        return paths;
    }

    // Announces the paths and hands them over one by one, as a script does.
    void Run(const std::vector<std::wstring>& paths) {
        int32_t result = 0;
        coordinator->Transfer(CBstrHolder(L""), 2, static_cast<int32_t>(paths.size()), &result);
        const int32_t base = static_cast<int32_t>(sources.Path().size() + 1);
        for (const std::wstring& path : paths) coordinator->Transfer(CBstrHolder(path), 1, base, &result);
    }

    CScratchFolder sources;
    CRecordingEvents events;
    CRecordingLauncher launcher;
    std::unique_ptr<CQBCommonManager> coordinator;
    int made = 0;
};

class CoordinatorMtpEndToEndTest : public MtpControllerTest {
protected:
    void SetUp() override {
        MtpControllerTest::SetUp();
        ASSERT_TRUE(registry_.IsActive());
        ASSERT_TRUE(WriteSettingDword(L"AutoUpdate", 0));
        capability_ = kMusicCapability;
        driver_ = std::make_unique<CRunDriver>(&controller_, &msc_, data_.Path() + L"\\");
    }
    void TearDown() override {
        if (driver_) driver_->coordinator->Shutdown();
        driver_.reset();
        MtpControllerTest::TearDown();
    }
    void Connect(uint64_t capacity = 64ull << 20) {
        playerFolder_ = AttachPlayer(L"e2e", capacity);
        ASSERT_EQ(S_OK, driver_->coordinator->Initialize());
        driver_->coordinator->OnDeviceStateChanged();
        ASSERT_EQ(CTransferManager::kStateFound, driver_->coordinator->GetLastDeviceState());
        ASSERT_EQ(CTransferManager::kMtpController, driver_->coordinator->TransferStage().GetActiveControllerType());
    }
    std::vector<std::wstring> PlayerFiles() {
        std::vector<std::wstring> files;
        ListFiles(playerFolder_, L"", &files);
        return files;
    }

    CScratchRegistry registry_;
    CScratchFolder data_;
    CScratchFolder mscRoot_;
    CFakeDeviceController msc_{mscRoot_.Path() + L"\\"};
    std::unique_ptr<CRunDriver> driver_;
    std::wstring playerFolder_;
};

}  // namespace

TEST_F(CoordinatorMtpEndToEndTest, SongsPassTheChainAndTheReportListsWhatWasRefused) {
    Connect();
    std::vector<std::wstring> paths = driver_->Songs(3);
    ASSERT_TRUE(driver_->sources.WriteFile(L"Album\\notes.txt", "not a song"));
    paths.push_back(driver_->sources.Join(L"Album\\notes.txt"));
    driver_->Run(paths);
    ASSERT_TRUE(driver_->events.WaitFor(IAutomationEvents::kEnd, 1));

    for (int i = 1; i <= 3; ++i) {
        const std::wstring id = ObjectAt(L"MUSIC\\Album\\run" + std::to_wstring(i) + L".mp3");
        ASSERT_FALSE(id.empty()) << i;
        // The working copy carries the tags the data insert wrote.
        EXPECT_EQ("ID3", Data(id).substr(0, 3)) << i;
    }
    EXPECT_TRUE(ObjectAt(L"MUSIC\\Album\\notes.txt").empty());
    const std::wstring report = driver_->coordinator->GetRunReport();
    EXPECT_NE(std::wstring::npos, report.find(L"notes.txt\r\n")) << report;
    EXPECT_EQ(1, driver_->events.Count(IAutomationEvents::kTransferError));
    EXPECT_FALSE(driver_->coordinator->IsBusy());
    const std::vector<std::wstring> counts = driver_->events.Texts(IAutomationEvents::kUpdateFileNum);
    ASSERT_FALSE(counts.empty());
    EXPECT_EQ(L"4|4", counts.back());
}

TEST_F(CoordinatorMtpEndToEndTest, MoodDataOfTheAnalysisTravelsInTheSongsTags) {
    CRegisteredAnalysisEngine engine;
    ASSERT_TRUE(engine.IsRegistered());
    ASSERT_TRUE(WriteSettingDword(L"AnalysisMode", 1));
    Connect();
    ASSERT_TRUE(driver_->coordinator->AnalysisModeOn());
    const std::wstring song = driver_->sources.Join(L"Album\\tone.mp3");
    CreateFolderTree(driver_->sources.Join(L"Album"));
    ASSERT_TRUE(CopyFileW((std::wstring(L"" QB_TEST_DATA_DIR) + L"/decode/tone-id3-lame.mp3").c_str(), song.c_str(), FALSE));
    driver_->Run({song});
    ASSERT_TRUE(driver_->events.WaitFor(IAutomationEvents::kEnd, 1));

    const std::wstring id = ObjectAt(L"MUSIC\\Album\\tone.mp3");
    ASSERT_FALSE(id.empty()) << driver_->coordinator->GetRunReport();
    const std::string written = Data(id);
    // The engine's records are in the tags; its "GMMD" record is stripped on the way.
    EXPECT_NE(std::string::npos, written.find("STSA"));
    EXPECT_NE(std::string::npos, written.find("STBF"));
    EXPECT_EQ(std::string::npos, written.find("GMMD"));
    // Analysis progress reached automation: started and finished.
    const std::vector<std::wstring> progress = driver_->events.Texts(IAutomationEvents::kProgress);
    auto reported = [&progress](const std::wstring& start) {
        return std::any_of(progress.begin(), progress.end(),
                           [&start](const std::wstring& text) { return text.rfind(start, 0) == 0; });
    };
    EXPECT_TRUE(reported(L"0||0|"));
    EXPECT_TRUE(reported(L"0||100|"));
    EXPECT_EQ(L"", driver_->coordinator->GetRunReport());
}

TEST_F(CoordinatorMtpEndToEndTest, CancelMidRunStopsEveryStageAndTheNextRunWorks) {
    Connect();
    driver_->Run(driver_->Songs(40));
    // Cancel once the first song has reached the player.
    ASSERT_TRUE(driver_->events.WaitFor(IAutomationEvents::kProgress, 1));
    driver_->coordinator->CancelRun(true);
    EXPECT_FALSE(driver_->coordinator->IsBusy());
    const size_t landed = PlayerFiles().size();
    EXPECT_LT(landed, 40u + 1);  // the capability document is among them
    // Nothing of the cancelled run arrives later.
    Sleep(0);
    EXPECT_TRUE(driver_->coordinator->TransferStage().IsIdle());
    EXPECT_TRUE(driver_->coordinator->ContentsStage().IsIdle());
    EXPECT_EQ(landed, PlayerFiles().size());

    const int endsBefore = driver_->events.Count(IAutomationEvents::kEnd);
    driver_->Run(driver_->Songs(2));
    ASSERT_TRUE(driver_->events.WaitFor(IAutomationEvents::kEnd, endsBefore + 1));
    EXPECT_FALSE(ObjectAt(L"MUSIC\\Album\\run41.mp3").empty());
    EXPECT_FALSE(ObjectAt(L"MUSIC\\Album\\run42.mp3").empty());
}

TEST_F(CoordinatorMtpEndToEndTest, QuittingDuringALargeWriteEndsQuicklyAndLeavesNoPartialFile) {
    Connect(4ull << 30);
    const std::wstring big = driver_->sources.Join(L"big.mp3");
    ASSERT_TRUE(MakeLargeFile(big, 1ull << 30));
    driver_->Run({big});
    // Wait for the write to the player to be under way.
    const ULONGLONG deadline = GetTickCount64() + 120000;
    bool writing = false;
    while (!writing && GetTickCount64() < deadline) {
        for (const std::wstring& text : driver_->events.Texts(IAutomationEvents::kProgress)) {
            writing = writing || (text.rfind(L"3|", 0) == 0 && text.find(L"|0|") == std::wstring::npos);
        }
        if (!writing) driver_->events.WaitFor(IAutomationEvents::kProgress, driver_->events.Count(IAutomationEvents::kProgress) + 1);
    }
    ASSERT_TRUE(writing);
    const ULONGLONG start = GetTickCount64();
    driver_->coordinator->Shutdown();
    EXPECT_LT(GetTickCount64() - start, 2000u);
    EXPECT_TRUE(ObjectAt(L"big.mp3").empty());
    // Nothing of the gibibyte stays on the player's storage, not even as an unnamed object.
    for (const std::wstring& file : PlayerFiles()) {
        WIN32_FILE_ATTRIBUTE_DATA facts = {};
        ASSERT_TRUE(GetFileAttributesExW((playerFolder_ + L"\\" + file).c_str(), GetFileExInfoStandard, &facts));
        EXPECT_EQ(0u, facts.nFileSizeHigh) << file;
        EXPECT_LT(facts.nFileSizeLow, 1u << 20) << file;
    }
}

TEST_F(CoordinatorMtpEndToEndTest, InitAndShutdownOrderWithRealStages) {
    Connect();
    driver_->coordinator->Shutdown();
    const std::vector<std::wstring>& log = driver_->coordinator->LifecycleLog();
    ASSERT_EQ(17u, log.size());
    EXPECT_EQ(L"start transfer", log[1]);
    EXPECT_EQ(L"start contents", log[7]);
    EXPECT_EQ(L"stop contents", log[9]);
    EXPECT_EQ(L"stop movie conversion", log[15]);
}

// The same runs on a removable drive shown to the real mass-storage controller as a USB player
// (run_with_drives.sh maps the drives).
class DriveCoordinatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring letters = FromEnvironment(L"QB_DEVICE_TEST_DRIVES");
        if (letters.empty()) GTEST_SKIP() << "no removable test drives (run through run_with_drives.sh)";
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        comEntered_ = true;
        ASSERT_TRUE(registry_.IsActive());
        ASSERT_TRUE(WriteSettingDword(L"AutoUpdate", 0));
        letter_ = letters[letters.size() - 1];
        root_ = std::wstring(1, letter_) + L":\\";
        DeleteFolderTree(root_ + L"MUSIC");
        driver_ = std::make_unique<CRunDriver>(&mtp_, &msc_, data_.Path() + L"\\");
    }
    void TearDown() override {
        if (driver_) driver_->coordinator->Shutdown();
        driver_.reset();
        if (letter_ != 0) {
            DeleteFolderTree(root_ + L"MUSIC");
            DeleteFileW((root_ + L"capability_00.xml").c_str());
        }
        if (comEntered_) CoUninitialize();
    }
    void Connect() {
        std::string capability = kMusicCapability;
        HANDLE file = CreateFileW((root_ + L"capability_00.xml").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                  nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        WriteFile(file, capability.data(), static_cast<DWORD>(capability.size()), &written, nullptr);
        CloseHandle(file);
        facts_.AddUsbDrive(letter_, L"0a0b_0c0d_E2E");
        ASSERT_EQ(S_OK, driver_->coordinator->Initialize());
        driver_->coordinator->OnDeviceStateChanged();
        ASSERT_EQ(CTransferManager::kStateFound, driver_->coordinator->GetLastDeviceState());
        ASSERT_EQ(CTransferManager::kMscController, driver_->coordinator->TransferStage().GetActiveControllerType());
    }
    static void DeleteFolderTree(const std::wstring& folder) {
        std::vector<std::wstring> files;
        ListFiles(folder, L"", &files);
        for (const std::wstring& file : files) DeleteFileW((folder + L"\\" + file).c_str());
    }

    CScratchRegistry registry_;
    CScratchFolder data_;
    CScratchFolder mtpRoot_;
    CFakeDeviceController mtp_{mtpRoot_.Path() + L"\\"};
    CSimulatedDriveFacts facts_;
    CMSCDeviceController msc_{facts_};
    std::unique_ptr<CRunDriver> driver_;
    wchar_t letter_ = 0;
    std::wstring root_;
    bool comEntered_ = false;
};

TEST_F(DriveCoordinatorTest, SongsLandOnTheDrivePlayer) {
    Connect();
    driver_->Run(driver_->Songs(3));
    ASSERT_TRUE(driver_->events.WaitFor(IAutomationEvents::kEnd, 1));
    std::vector<std::wstring> files;
    ListFiles(root_ + L"MUSIC", L"", &files);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_TRUE(HasFileEndingWith(files, L"run" + std::to_wstring(i) + L".mp3")) << testing::PrintToString(files);
    }
    EXPECT_EQ(L"", driver_->coordinator->GetRunReport());
}

TEST_F(DriveCoordinatorTest, QuittingDuringALargeWriteLeavesNoPartialFile) {
    Connect();
    const std::wstring big = driver_->sources.Join(L"big.mp3");
    ASSERT_TRUE(MakeLargeFile(big, 1ull << 30));
    driver_->Run({big});
    const ULONGLONG deadline = GetTickCount64() + 120000;
    bool writing = false;
    while (!writing && GetTickCount64() < deadline) {
        for (const std::wstring& text : driver_->events.Texts(IAutomationEvents::kProgress)) {
            writing = writing || (text.rfind(L"3|", 0) == 0 && text.find(L"|0|") == std::wstring::npos);
        }
        if (!writing) driver_->events.WaitFor(IAutomationEvents::kProgress, driver_->events.Count(IAutomationEvents::kProgress) + 1);
    }
    ASSERT_TRUE(writing);
    const ULONGLONG start = GetTickCount64();
    driver_->coordinator->Shutdown();
    EXPECT_LT(GetTickCount64() - start, 2000u);
    std::vector<std::wstring> files;
    ListFiles(root_ + L"MUSIC", L"", &files);
    EXPECT_FALSE(HasFileEndingWith(files, L"big.mp3")) << testing::PrintToString(files);
}

namespace {

// The conversion renders through the platform's filters, which read the display's set-up from
// the machine hive: only the user's hive (the settings) is redirected here.
class CoordinatorConversionEndToEndTest : public MtpControllerTest {
protected:
    void SetUp() override {
        if (FromEnvironment(L"QB_E2E_MOVIE").empty())
            GTEST_SKIP() << "no movie to convert (run through converted_video.sh)";
        HKEY software = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_ALL_ACCESS, &software));
        software_.reset(software);
        keys_ = std::make_unique<CScratchKeyTree>(software);
        ASSERT_TRUE(keys_->IsValid());
        ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CURRENT_USER, keys_->User()));
        redirected_ = true;
        MtpControllerTest::SetUp();
        ASSERT_TRUE(WriteSettingDword(L"AutoUpdate", 0));
        driver_ = std::make_unique<CRunDriver>(&controller_, &msc_, data_.Path() + L"\\");
    }
    void TearDown() override {
        if (driver_) driver_->coordinator->Shutdown();
        driver_.reset();
        if (redirected_) MtpControllerTest::TearDown();
        if (redirected_) RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        keys_.reset();
        software_.reset();
    }
    std::vector<std::wstring> PlayerFiles() {
        std::vector<std::wstring> files;
        ListFiles(playerFolder_, L"", &files);
        return files;
    }

    struct KeyCloser {
        void operator()(HKEY key) const { RegCloseKey(key); }
    };
    std::unique_ptr<std::remove_pointer<HKEY>::type, KeyCloser> software_;
    std::unique_ptr<CScratchKeyTree> keys_;
    bool redirected_ = false;
    CRecordingFrame frame_;
    CScratchFolder data_;
    CScratchFolder mscRoot_;
    CFakeDeviceController msc_{mscRoot_.Path() + L"\\"};
    std::unique_ptr<CRunDriver> driver_;
    std::wstring playerFolder_;
};

}  // namespace

// A movie the player cannot play, in a run the user agreed to convert: the conversion stage
// writes it as Windows Media, and the player gets the converted file under the movie's name with
// the ".wmv" ending. Needs the conversion filters and the Windows Media stand-in beside the
// program, which converted_video.sh sets up; the script then reads the kept copy with ffprobe.
TEST_F(CoordinatorConversionEndToEndTest, AMovieIsConvertedOnTheWayToThePlayer) {
    const std::wstring movie = FromEnvironment(L"QB_E2E_MOVIE");
    const std::wstring keep = FromEnvironment(L"QB_E2E_KEEP");
    capability_ =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Devices xmlns=\"" QB_CAPABILITY_NAMESPACE_URI
        "\"><Device><PlaybackCapabilities><Audio><Format><Extension>mp3</Extension></Format></Audio>"
        "<Video><Format><Extension>wmv</Extension></Format></Video></PlaybackCapabilities>"
        "<FileSystem><Path content-type=\"sound\" depth=\"7\"><Target>\\MUSIC\\</Target></Path>"
        "<Path content-type=\"video\" depth=\"7\"><Target>\\VIDEO\\</Target></Path></FileSystem></Device></Devices>";
    // The converter writes into the per-user data folder, as the program's start-up makes it.
    ASSERT_TRUE(CreateUserDataFolder());
    // The main window answers the conversion question with yes.
    driver_->coordinator->SetMainFrame(&frame_);
    playerFolder_ = AttachPlayer(L"e2e-movie");
    ASSERT_EQ(S_OK, driver_->coordinator->Initialize());
    driver_->coordinator->OnDeviceStateChanged();
    ASSERT_EQ(CTransferManager::kMtpController, driver_->coordinator->TransferStage().GetActiveControllerType());
    const std::wstring source = driver_->sources.Join(L"Movies\\clip.avi");
    CreateFolderTree(driver_->sources.Join(L"Movies"));
    ASSERT_TRUE(CopyFileW(movie.c_str(), source.c_str(), FALSE));
    driver_->Run({source});
    ASSERT_TRUE(WaitPumping(driver_->events, IAutomationEvents::kEnd, 1, 600000));

    EXPECT_EQ(1u, frame_.Messages().size());
    EXPECT_EQ(L"", driver_->coordinator->GetRunReport());
    // The conversion reported its start and its end.
    const std::vector<std::wstring> progress = driver_->events.Texts(IAutomationEvents::kProgress);
    EXPECT_TRUE(std::any_of(progress.begin(), progress.end(),
                            [](const std::wstring& text) { return text.rfind(L"2|clip.avi|100|", 0) == 0; }))
        << testing::PrintToString(progress) << testing::PrintToString(driver_->events.Texts(IAutomationEvents::kUpdateFileNum));
    EXPECT_TRUE(ObjectAt(L"VIDEO\\Movies\\clip.avi").empty());
    const std::wstring id = ObjectAt(L"VIDEO\\Movies\\clip.wmv");
    ASSERT_FALSE(id.empty()) << testing::PrintToString(PlayerFiles());
    const std::string written = Data(id);
    ASSERT_GT(written.size(), 16u);
    EXPECT_EQ(std::string(kAsfHeaderGuid, 16), written.substr(0, 16));
    if (!keep.empty()) {
        HANDLE file = CreateFileW((keep + L"\\clip.wmv").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD wrote = 0;
        EXPECT_TRUE(WriteFile(file, written.data(), DWORD(written.size()), &wrote, nullptr));
        CloseHandle(file);
    }
    driver_->coordinator->Shutdown();
}

