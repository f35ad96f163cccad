// The wizard end to end: the frame, the setup manager with its whole pipeline, the simulated MTP
// player and the simulated analysis engine. Registering, refreshing, deregistering, unplugging in
// the middle of a refresh, and what exit leaves behind.
#include <windows.h>
#include <dbt.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "library/media/decode/ITranscode2.h"
#include "library/media/decode/MediaTagObjects.h"
#include "library/mood/MoodChannelExport.h"
#include "library/mood/MoodChannelListFile.h"
#include "library/mood/MoodClassification.h"
#include "library/util/FileSystem.h"
#include "library/util/ModuleFolder.h"
#include "setup/frame/MainFrame.h"
#include "setup/manager/SetupCommonManager.h"
#include "tests/decode/DecodeTestSupport.h"
#include "tests/mtp/MtpTestSupport.h"
#include "tests/setup/manager/RefreshScreens.h"
#include "tests/support/WindowDriver.h"

namespace {

constexpr DWORD kWaitMs = 120000;
constexpr int kSongs = 3;

typedef HRESULT(STDAPICALLTYPE* ServerEntry)();

HRESULT CallServerEntry(HMODULE server, const char* name) {
    FARPROC entry = server ? GetProcAddress(server, name) : nullptr;
    if (!entry) return E_NOINTERFACE;
    return reinterpret_cast<ServerEntry>(reinterpret_cast<void*>(entry))();
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool PumpUntil(const std::function<bool()>& condition) {
    return WaitUntil([&] {
        Pump();
        return condition();
    }, kWaitMs);
}

std::string ReadText(const std::wstring& path) {
    std::string bytes;
    ReadWholeFile(path, &bytes);
    return bytes;
}

class SetupRefreshTest : public MtpControllerTest {
protected:
    static void SetUpTestSuite() {
        engine_ = LoadLibraryW((GetModuleFolder() + L"QbStandinAnalysis.dll").c_str());
        decoders_ = LoadLibraryW((GetModuleFolder() + L"QbStandinDecoders.ax").c_str());
        ASSERT_EQ(S_OK, CallServerEntry(engine_, "DllRegisterServer"));
        ASSERT_EQ(S_OK, CallServerEntry(decoders_, "DllRegisterServer"));
    }
    static void TearDownTestSuite() {
        CallServerEntry(engine_, "DllUnregisterServer");
        CallServerEntry(decoders_, "DllUnregisterServer");
    }

    void SetUp() override {
        MtpControllerTest::SetUp();
        ASSERT_EQ(S_OK, CreateTranscodeSingleModeEvent());
        // Payloads with mood scores, as a full engine writes them: without them no song would get
        // a mood-table entry, and the mood list and tables would never be written.
        SetEnvironmentVariableW(L"QB_ANALYSIS_STANDIN", L"mood=1");
        // The CD-lookup modules, where the build puts them beside the test program, would answer
        // every song with their fixed data block, which marks it analysed: the songs would never
        // reach the analysis, and what they were entered into would depend on what was built.
        SetEnvironmentVariableW(L"QB_CDDB_STANDIN", L"nomatch");
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        const std::wstring test = L"QbSetupRefreshTest." + std::wstring(name.begin(), name.end());
        dataFolder_ = data_.Path() + L"\\";
        parts_.screens = &screens_;
        parts_.ownMutexName = test + L".own";
        parts_.mainProgramMutexName = test + L".main";
        parts_.stringModulePath = GetModuleFolder() + L"setup_test_strings.dll";
        parts_.createManager = [this](ISetupListener& listener) -> std::unique_ptr<ISetupManager> {
            auto manager = std::make_unique<CSetupCommonManager>(&listener, dataFolder_);
            manager_ = manager.get();
            return manager;
        };
        parts_.reportError = [](HWND, const std::wstring& text) {
            ADD_FAILURE() << std::string(text.begin(), text.end());
        };
        std::string capability;
        ASSERT_TRUE(ReadWholeFile(L"Z:" QB_SETUP_TEST_CAPABILITY, &capability));
        capability_ = capability;
        ASSERT_TRUE(ReadWholeFile(FixturePath(L"tone-id3-lame.mp3"), &song_));

        frame_ = std::make_unique<CMainFrame>(parts_);
        ASSERT_TRUE(frame_->SetupScreens(false));
        ASSERT_TRUE(frame_->IsWaitingForDevice());
    }

    void TearDown() override {
        if (frame_ && frame_->Hwnd() != nullptr) frame_->DestroyWindow();
        Pump();
        frame_.reset();
        CloseTranscodeSingleModeEvent();
        MtpControllerTest::TearDown();
    }

    // A player holding the capability document and kSongs songs in MUSIC\Album. Each song is the
    // fixture cut shorter by 8 KiB more than the one before, so each is analysed differently and
    // a song entered with another song's analysis shows.
    void PlugPlayer() {
        if (!player_) {
            player_ = std::make_unique<CScratchFolder>();
            player_->WriteFile(L"capability_00.xml", capability_);
            for (int n = 1; n <= kSongs; ++n) {
                originals_[SongPath(n)] = song_.substr(0, song_.size() - size_t(n - 1) * 8192);
                player_->WriteFile(SongPath(n), originals_[SongPath(n)]);
            }
        }
        ASSERT_EQ(S_OK, standin_.Attach(kPlayerId, L"Sim player", player_->Path()));
        controller_.FindDevice();
    }

    static std::wstring SongPath(int n) { return L"MUSIC\\Album\\song" + std::to_wstring(n) + L".mp3"; }

    // What a song written back by the refresh holds on the player; a failure when the song
    // is the one the player held before.
    std::string AnalysedSong(const std::wstring& copy) {
        const std::wstring relative = copy.substr(manager_->Transfer().CacheFolder().size());
        SCOPED_TRACE(std::string(relative.begin(), relative.end()));
        const std::string bytes = Data(ObjectAt(relative));
        EXPECT_EQ(1u, originals_.count(relative)) << "a song of the player";
        EXPECT_NE(originals_[relative], bytes) << "the song on the player carries its analysis";
        return bytes;
    }

    // The channel and mood files in the player's car-audio folder, by their path below it.
    std::map<std::wstring, std::string> ChannelFilesOnPlayer() {
        std::map<std::wstring, std::string> files;
        for (const std::wstring folder : {L"HVC", L"HVM"}) {
            for (const std::wstring& id : Children(ObjectAt(L"Tavrel_Automotive\\" + folder))) {
                files[folder + L"\\" + Text(id, WPD_OBJECT_ORIGINAL_FILE_NAME)] = Data(id);
            }
        }
        return files;
    }

    // The entries of a channel list file's bytes.
    static std::vector<std::wstring> ListEntries(const std::string& bytes) {
        CScratchFolder folder;
        std::vector<std::wstring> entries;
        EXPECT_TRUE(folder.WriteFile(L"list.ZEP", bytes));
        EXPECT_EQ(0, ReadChannelListFile(entries, folder.Join(L"list.ZEP")));
        return entries;
    }

    // The record count at the head of a mood table.
    static uint32_t MoodTableCount(const std::string& bytes) {
        if (bytes.size() < 4) return 0;
        const auto byte = [&bytes](size_t k) { return uint32_t(static_cast<unsigned char>(bytes[k])); };
        return byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
    }

    void DeviceChange() {
        SendMessageW(frame_->Hwnd(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
        Pump();
    }

    unsigned Shown() const { return frame_->CurrentScreen(); }

    bool IsHidden(const std::wstring& objectId) {
        CScopedComPtr<IPortableDeviceValues> values = Properties(objectId);
        BOOL hidden = FALSE;
        return values.Get() && SUCCEEDED(values->GetBoolValue(WPD_OBJECT_ISHIDDEN, &hidden)) && hidden;
    }

    void Register() {
        PlugPlayer();
        DeviceChange();
        ASSERT_EQ(SetupScreen::kRegConfirm, Shown());
        ASSERT_EQ(S_OK, manager_->ToggleDeviceRegistration());
    }

    void RunRefresh() {
        screens_.ResetCounts();
        screens_.progress.clear();
        manager_->SetSongsPresent(manager_->PlayerHoldsSongs());
        frame_->ShowScreen(SetupScreen::kRefreshProcessing);
        ASSERT_TRUE(manager_->StartRefreshThread());
        const bool finished = PumpUntil([&] { return screens_.Finished(); });
        std::string subtypes;
        for (const auto& record : screens_.progress) subtypes += std::to_string(record.subtype) + " ";
        ASSERT_TRUE(finished) << screens_.total << " songs, " << screens_.written << " written, "
                              << screens_.analysed << " analysed; records " << subtypes;
    }

    // The paths of the working copies in the order their mood-channel steps ended.
    std::vector<std::wstring> WrittenCopies() const {
        std::vector<std::wstring> copies;
        for (const auto& record : screens_.progress) {
            if (record.subtype == SetupProgress::kMoodStepDone) copies.push_back(record.text);
        }
        return copies;
    }

    static constexpr wchar_t kPlayerId[] = L"\\\\?\\simulated#setup#refresh";
    static HMODULE engine_;
    static HMODULE decoders_;
    CScratchFolder data_;
    std::wstring dataFolder_;
    std::string song_;
    std::map<std::wstring, std::string> originals_;
    std::unique_ptr<CScratchFolder> player_;
    CMainFrame::Parts parts_;
    CRefreshScreens screens_;
    CSetupCommonManager* manager_ = nullptr;
    std::unique_ptr<CMainFrame> frame_;
};

HMODULE SetupRefreshTest::engine_ = nullptr;
HMODULE SetupRefreshTest::decoders_ = nullptr;

TEST_F(SetupRefreshTest, RegisterAndDeregisterAPlayerThenExitKeepsTheSyncLists) {
    Register();
    const std::wstring marker = ObjectAt(L"Carvell.dat");
    ASSERT_FALSE(marker.empty());
    EXPECT_TRUE(IsHidden(marker));
    EXPECT_FALSE(ObjectAt(L"Tavrel_Automotive\\HVM").empty() && ObjectAt(L"Tavrel_Automotive").empty());

    ASSERT_EQ(S_OK, manager_->ToggleDeviceRegistration());
    EXPECT_TRUE(ObjectAt(L"Carvell.dat").empty());
    EXPECT_TRUE(ObjectAt(L"Tavrel_Automotive").empty());
    EXPECT_TRUE(ObjectAt(L"Tavrel_Automotive\\HVM").empty());

    // Exit: the wizard's work files go (the cache folder whole, whatever it still holds); the main
    // program's sync selections in the per-player folder stay.
    ASSERT_TRUE(data_.WriteFile(L"HVX_Cache\\MUSIC\\Album\\left.mp3", "left behind"));
    ASSERT_TRUE(data_.WriteFile(L"0123.dat", "a working copy"));
    const std::wstring syncList = L"SIMPLAYER\\Music.txt";
    ASSERT_TRUE(data_.WriteFile(syncList, "C:\\Music\\a.mp3\r\n"));
    frame_->DestroyWindow();
    Pump();
    frame_.reset();
    EXPECT_FALSE(FolderExists(dataFolder_ + L"HVX_Cache"));
    EXPECT_FALSE(PathExists(data_.Join(L"0123.dat")));
    EXPECT_EQ("C:\\Music\\a.mp3\r\n", ReadText(data_.Join(syncList)));
}

// Every song of a refresh is analysed and replaces its own object on the player. A decoding graph
// kept past its song holds the single-decode token the next song's format check waits for, and a
// replacement handed a path instead of the object's id fails: either leaves songs unwritten.
TEST_F(SetupRefreshTest, RefreshAnalysesEverySongAndWritesItBackInPlace) {
    Register();
    RunRefresh();
    EXPECT_EQ(kSongs, screens_.total);
    EXPECT_EQ(kSongs, screens_.written);
    const std::vector<std::wstring> copies = WrittenCopies();
    ASSERT_EQ(size_t(kSongs), copies.size());
    for (const std::wstring& copy : copies) {
        const std::string bytes = AnalysedSong(copy);
        CScratchFolder songs;
        ASSERT_TRUE(songs.WriteFile(L"song.mp3", bytes));
        CTNByteArray* payload = nullptr;
        EXPECT_EQ(0, ReadMoodData(&payload, songs.Join(L"song.mp3"), 0));
        ASSERT_NE(nullptr, payload);
        // The engine's analysis, with its mood scores, not a block from elsewhere.
        double features[kMoodFeatureCount];
        EXPECT_EQ(0, ComputeMoodFeatures(payload->data, payload->length, features));
        EXPECT_GE(features[1], 0.0);
        delete payload;
    }
}

TEST_F(SetupRefreshTest, RegisterRefreshAndDeregisterAPlayer) {
    Register();
    const std::wstring marker = ObjectAt(L"Carvell.dat");
    ASSERT_FALSE(marker.empty());
    EXPECT_TRUE(IsHidden(marker));
    EXPECT_FALSE(ObjectAt(L"Tavrel_Automotive\\HVC").empty() && ObjectAt(L"Tavrel_Automotive").empty());

    RunRefresh();
    EXPECT_EQ(kSongs, screens_.total);
    EXPECT_EQ(kSongs, screens_.written);
    const std::vector<std::wstring> copies = WrittenCopies();
    ASSERT_EQ(size_t(kSongs), copies.size());
    for (int n = 1; n <= kSongs; ++n) {
        SCOPED_TRACE(n);
        EXPECT_FALSE(ObjectAt(SongPath(n)).empty());
        EXPECT_TRUE(ObjectAt(L"MUSIC\\" + SongPath(n)).empty()) << "a song goes back where it came from";
    }
    std::vector<std::pair<std::wstring, std::string>> analysed;
    for (const std::wstring& copy : copies) {
        const std::wstring relative = copy.substr(manager_->Transfer().CacheFolder().size());
        analysed.emplace_back(L"\\" + relative, AnalysedSong(copy));
    }
    const std::map<std::wstring, std::string> onPlayer = ChannelFilesOnPlayer();

    // Deregistering removes the marker and the car-audio folder.
    ASSERT_EQ(S_OK, manager_->ToggleDeviceRegistration());
    EXPECT_TRUE(ObjectAt(L"Carvell.dat").empty());
    EXPECT_TRUE(ObjectAt(L"Tavrel_Automotive\\HVM\\MOOD.ZEP").empty());

    // Exit: the cache folder and the local car-audio work files go; the main program's sync
    // selections in the per-player folder stay.
    const std::wstring syncList = L"SIMPLAYER\\Music.txt";
    ASSERT_TRUE(data_.WriteFile(syncList, "C:\\Music\\a.mp3\r\n"));
    ASSERT_TRUE(FolderExists(dataFolder_ + L"HVX_Cache"));
    frame_->DestroyWindow();
    Pump();
    frame_.reset();
    EXPECT_FALSE(FolderExists(dataFolder_ + L"HVX_Cache"));
    EXPECT_FALSE(FolderExists(dataFolder_ + L"Tavrel_Automotive\\HVM"));
    EXPECT_EQ("C:\\Music\\a.mp3\r\n", ReadText(data_.Join(syncList)));

    // The channel files the player got are those the mood library writes for the same songs, each
    // entered with the analysis data its copy on the player carries, in the order they went back.
    CScratchFolder reference;
    CScratchFolder songs;
    const std::wstring referenceFolder = reference.Join(L"Tavrel_Automotive\\");
    std::map<std::wstring, std::string> expected;
    ASSERT_EQ(0, BeginMoodChannelExport(reference.Path() + L"\\"));
    int n = 0;
    for (const auto& [track, bytes] : analysed) {
        const std::wstring local = L"song" + std::to_wstring(++n) + L".mp3";
        ASSERT_TRUE(songs.WriteFile(local, bytes));
        CTNByteArray* payload = nullptr;
        ASSERT_EQ(0, ReadMoodData(&payload, songs.Join(local), 0));
        ASSERT_NE(nullptr, payload);
        AssignTrackToMoodChannels(payload->data, payload->length, track);
        delete payload;
        std::vector<std::wstring> written;
        ASSERT_EQ(0, WriteMoodChannels(written));
        for (const std::wstring& file : written) expected[file.substr(referenceFolder.size())] = ReadText(file);
        ClearMoodChannelLists();
    }
    EndMoodChannelExport();
    std::wstring names;
    for (const auto& [file, bytes] : onPlayer) names += file + L" ";
    ASSERT_EQ(expected.size(), onPlayer.size()) << std::string(names.begin(), names.end());
    for (const auto& [file, bytes] : expected) {
        SCOPED_TRACE(std::string(file.begin(), file.end()));
        const auto found = onPlayer.find(file);
        ASSERT_NE(onPlayer.end(), found);
        EXPECT_EQ(bytes, found->second);
    }

    // Every song is in the every-track channel and in the mood list, and each mood table ranks
    // every song.
    std::vector<std::wstring> tracks;
    for (const auto& [track, bytes] : analysed) tracks.push_back(track);
    std::sort(tracks.begin(), tracks.end());
    for (const wchar_t* list : {L"HVC\\CID005.ZEP", L"HVM\\MOOD.ZEP"}) {
        SCOPED_TRACE(std::string(list, list + wcslen(list)));
        std::vector<std::wstring> entries = ListEntries(expected[list]);
        std::sort(entries.begin(), entries.end());
        EXPECT_EQ(tracks, entries);
    }
    for (const wchar_t* table : {L"HVM\\MOOD00.dat", L"HVM\\MOOD01.dat", L"HVM\\MOOD02.dat", L"HVM\\MOOD03.dat"}) {
        EXPECT_EQ(uint32_t(kSongs), MoodTableCount(expected[table])) << std::string(table, table + wcslen(table));
    }
}

// Unplugging the player in the middle of a refresh ends it: the error screen, the threads and the
// pipeline stopped, the cache folder gone.
class SetupUnplugTest : public SetupRefreshTest {
protected:
    void UnplugDuringRefresh() {
        Register();
        bool unplugged = false;
        screens_.onWritten = [&](ISetupFrame& frame) {
            if (unplugged) return;
            unplugged = true;
            ASSERT_EQ(S_OK, standin_.Detach(kPlayerId));
            SendMessageW(frame.FrameWindow(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
        };
        screens_.ResetCounts();
        manager_->SetSongsPresent(manager_->PlayerHoldsSongs());
        frame_->ShowScreen(SetupScreen::kRefreshProcessing);
        ASSERT_TRUE(manager_->StartRefreshThread());
        ASSERT_TRUE(PumpUntil([&] { return Shown() == SetupScreen::kCancel; }));
        screens_.onWritten = nullptr;
        EXPECT_TRUE(unplugged);
        EXPECT_FALSE(manager_->IsRefreshRunning());
        EXPECT_FALSE(FolderExists(dataFolder_ + L"HVX_Cache"));
        // Records still queued from the aborted refresh change nothing.
        const int analysedAtAbort = screens_.analysed;
        Pump();
        EXPECT_EQ(analysedAtAbort, screens_.analysed);
    }
};

TEST_F(SetupUnplugTest, UnpluggingDuringARefreshAbortsIt) { UnplugDuringRefresh(); }

// Plugged in again, the player is examined anew and a refresh runs to its end: every song goes
// back analysed, and the every-track channel, the mood list and a mood table name every song once,
// nothing the aborted refresh left behind twice.
TEST_F(SetupUnplugTest, ARefreshAfterReplugCompletes) {
    UnplugDuringRefresh();
    PlugPlayer();
    std::wstring model;
    uint64_t capacity = 0;
    bool registered = false, ownBrand = false;
    ASSERT_TRUE(manager_->CheckConnectedDevice(&model, &capacity, &registered, &ownBrand));
    EXPECT_TRUE(registered);
    EXPECT_TRUE(ownBrand);
    manager_->TakeDevice();
    RunRefresh();
    EXPECT_EQ(kSongs, screens_.total);
    EXPECT_EQ(kSongs, screens_.written);
    const std::vector<std::wstring> copies = WrittenCopies();
    ASSERT_EQ(size_t(kSongs), copies.size());
    std::vector<std::wstring> tracks;
    for (const std::wstring& copy : copies) {
        AnalysedSong(copy);
        tracks.push_back(L"\\" + copy.substr(manager_->Transfer().CacheFolder().size()));
    }
    std::sort(tracks.begin(), tracks.end());
    std::map<std::wstring, std::string> onPlayer = ChannelFilesOnPlayer();
    for (const wchar_t* list : {L"HVC\\CID005.ZEP", L"HVM\\MOOD.ZEP"}) {
        SCOPED_TRACE(std::string(list, list + wcslen(list)));
        std::vector<std::wstring> entries = ListEntries(onPlayer[list]);
        std::sort(entries.begin(), entries.end());
        EXPECT_EQ(tracks, entries);
    }
    EXPECT_EQ(uint32_t(kSongs), MoodTableCount(onPlayer[L"HVM\\MOOD00.dat"]));
}

}  // namespace
