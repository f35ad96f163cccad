#include "library/itunes/SushiController.h"

#include "library/content/TNContent.h"
#include "library/util/ModuleFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

const wchar_t kStandinKey[] = L"Software\\Quillbay\\Standins\\iTunes";

const char kVersion[] = "version\t7\t1\n";
const char kPlaylists[] =
    "playlist\tRoad trip\n"
    "file\tC:\\Music\\one.mp3\tOne\tArtist A\tAlbum A\t0\n"
    "url\tInternet radio\n"
    "file\tC:\\Music\\two.m4a\tTwo\tArtist B\tAlbum B\t1\n"
    "file\tC:\\Music\\three.mp3\tThree\tArtist C\tAlbum C\t0\n"
    "playlist\tEmpty\n";

// Runs the stand-in server with one switch and waits for it.
bool RunStandin(const wchar_t* argument) {
    std::wstring command = L"\"" + GetModuleFolder() + L"QbStandinITunes.exe\" " + argument;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    WaitForSingleObject(process.hProcess, 30000);
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status == 0;
}

class SushiControllerTest : public ::testing::Test {
protected:
    // One stand-in process serves the whole suite: a client held open keeps it from ending between
    // tests (a server that is ending refuses new clients). Each application object reads the
    // fixture anew, so tests change the library without a new process.
    static void SetUpTestSuite() {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        wchar_t temp[MAX_PATH];
        ASSERT_NE(0u, GetTempPathW(MAX_PATH, temp));
        folder_ = std::wstring(temp) + L"qb_itunes_test";
        CreateDirectoryW(folder_.c_str(), nullptr);
    }

    static void TearDownTestSuite() {
        keeper_.reset();
        RunStandin(L"-UnregServer");
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, kStandinKey);
        DeleteFileW(FixturePath().c_str());
        RemoveDirectoryW(folder_.c_str());
        CoUninitialize();
    }

    void SetUp() override {
        UseLibrary(std::string(kVersion) + kPlaylists);
        if (keeper_) return;
        ASSERT_TRUE(RunStandin(L"-RegServer"));
        keeper_.reset(new CSushiController(folder_));
        ASSERT_EQ(CSushiController::kConnected, keeper_->Open());
    }

    // Lets the stand-in end and removes its registration.
    static void RemoveServer() {
        keeper_.reset();
        ASSERT_TRUE(RunStandin(L"-UnregServer"));
    }

    static std::wstring FixturePath() { return folder_ + L"\\library.txt"; }

    // The fixture the next application object of the stand-in serves.
    static void UseLibrary(const std::string& text) {
        std::ofstream(FixturePath().c_str(), std::ios::binary) << text;
        const std::wstring path = FixturePath();
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_LOCAL_MACHINE, kStandinKey, L"Library", REG_SZ, path.c_str(),
                                                 static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))));
    }

    static std::wstring folder_;
    static std::unique_ptr<CSushiController> keeper_;
};

std::wstring SushiControllerTest::folder_;
std::unique_ptr<CSushiController> SushiControllerTest::keeper_;

struct Collected {
    std::vector<std::unique_ptr<CTNContent>> records;
    IITunesLibraryClient::ItemSink Sink() {
        return [this](CTNContent* content) { records.emplace_back(content); };
    }
};

}  // namespace

TEST_F(SushiControllerTest, ConnectAnswersByServerAndVersion) {
    struct Case {
        const char* name;
        const char* version;  // fixture version line
        const wchar_t* pictureFolder;
        int32_t expected;
    };
    const Case cases[] = {
        {"fine", "version\t7\t1\n", L"folder", CSushiController::kConnected},
        {"newer", "version\t8\t0\n", L"folder", CSushiController::kConnected},
        {"too old", "version\t7\t0\n", L"folder", CSushiController::kVersionRefused},
        {"refusing the version call", "version\trefuse\n", L"folder", CSushiController::kVersionRefused},
        {"no picture folder", "version\t7\t1\n", L"", CSushiController::kNoPictureFolder},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        UseLibrary(std::string(test.version) + kPlaylists);
        CSushiController client(test.pictureFolder == std::wstring(L"folder") ? folder_ : std::wstring());
        EXPECT_EQ(test.expected, client.Open());
        // Unconnected, the client reads nothing.
        EXPECT_EQ(test.expected == CSushiController::kConnected ? 4 : 0, client.CountTracks(L"Road trip"));
    }
}

TEST_F(SushiControllerTest, ConnectWithoutTheServerAnswersNotCreated) {
    RemoveServer();
    // The running stand-in ends once its last client has gone; until then it may still answer.
    CSushiController client(folder_);
    int32_t result = CSushiController::kConnected;
    for (int attempt = 0; attempt < 100 && result == CSushiController::kConnected; ++attempt) {
        client.Release();
        Sleep(100);
        result = client.Open();
    }
    EXPECT_EQ(CSushiController::kNotCreated, result);
    EXPECT_EQ(0, client.CountTracks(L"Road trip"));
}

TEST_F(SushiControllerTest, CountTracksOfNamedPlaylists) {
    CSushiController client(folder_);
    ASSERT_EQ(CSushiController::kConnected, client.Open());
    EXPECT_EQ(4, client.CountTracks(L"Road trip"));
    EXPECT_EQ(0, client.CountTracks(L"Empty"));
    EXPECT_EQ(0, client.CountTracks(L"No such list"));
    // The name is compared unchanged.
    EXPECT_EQ(0, client.CountTracks(L"Road"));
}

TEST_F(SushiControllerTest, ReadTracksHandsPlaceholdersAtOnceAndRecordsInOrderAfterTheWalk) {
    CSushiController client(folder_);
    ASSERT_EQ(CSushiController::kConnected, client.Open());
    Collected collected;
    ASSERT_TRUE(client.ReadTracks(L"Road trip", collected.Sink()));
    ASSERT_EQ(4u, collected.records.size());
    // The non-file track's placeholder went on during the walk, before any record.
    EXPECT_EQ(CTNContent::kITunesTrack, collected.records[0]->kind);
    EXPECT_EQ(0, collected.records[0]->originFlag);
    EXPECT_TRUE(collected.records[0]->sourcePath.empty());
    const wchar_t* paths[] = {L"C:\\Music\\one.mp3", L"C:\\Music\\two.m4a", L"C:\\Music\\three.mp3"};
    const wchar_t* titles[] = {L"One", L"Two", L"Three"};
    const wchar_t* albums[] = {L"Album A", L"Album B", L"Album C"};
    for (int position = 1; position <= 3; ++position) {
        SCOPED_TRACE(position);
        const CTNContent& record = *collected.records[position];
        EXPECT_EQ(CTNContent::kSong, record.kind);
        EXPECT_EQ(paths[position - 1], record.sourcePath);
        EXPECT_EQ(titles[position - 1], record.title);
        EXPECT_EQ(albums[position - 1], record.album);
        EXPECT_EQ(position, record.playlistMemberIndex);
        EXPECT_EQ(3, record.playlistMemberCount);
        EXPECT_EQ(L"Road trip", record.playlistName);
        EXPECT_EQ(36u, record.playlistKey.size());
        EXPECT_EQ(collected.records[1]->playlistKey, record.playlistKey);
        EXPECT_EQ(position == 2 ? 1 : 0, record.isPodcast);
    }
}

TEST_F(SushiControllerTest, ReadTracksOfEmptyAndUnknownPlaylists) {
    CSushiController client(folder_);
    ASSERT_EQ(CSushiController::kConnected, client.Open());
    Collected empty;
    EXPECT_TRUE(client.ReadTracks(L"Empty", empty.Sink()));
    EXPECT_TRUE(empty.records.empty());
    Collected unknown;
    EXPECT_FALSE(client.ReadTracks(L"No such list", unknown.Sink()));
    EXPECT_TRUE(unknown.records.empty());
    client.Release();
    EXPECT_FALSE(client.ReadTracks(L"Road trip", unknown.Sink()));
}

namespace {

// A selection of three tracks; the library holds a track whose location is only the start of a
// selected one, ahead of it.
const char kSelectionLibrary[] =
    "version\t7\t1\n"
    "file\tC:\\Music\\one\tShort\tArtist S\tAlbum S\t0\n"
    "file\tC:\\Music\\four.mp3\tFour\tArtist D\tAlbum D\t0\n"
    "selection\n"
    "file\tC:\\Music\\one.mp3\tOne\tArtist A\tAlbum A\t0\n"
    "url\tInternet radio\n"
    "file\tC:\\Music\\two.m4a\tTwo\tArtist B\tAlbum B\t1\n"
    "file\tC:\\Music\\three.mp3\tThree\tArtist C\tAlbum C\t0\n";

std::vector<std::wstring> Paths(const Collected& collected) {
    std::vector<std::wstring> paths;
    for (const auto& record : collected.records) {
        paths.push_back(record->kind == CTNContent::kITunesTrack ? L"<end>" : record->sourcePath);
    }
    return paths;
}

}  // namespace

TEST_F(SushiControllerTest, EnumerateFindsWantedPathsByWholePath) {
    UseLibrary(kSelectionLibrary);
    CSushiController client(folder_);
    ASSERT_EQ(CSushiController::kConnected, client.Open());
    struct Case {
        const char* name;
        std::vector<std::wstring> wanted;
        bool allFound;
        std::vector<std::wstring> handedOn;
    };
    const Case cases[] = {
        {"all in the selection",
         {L"C:\\Music\\three.mp3", L"C:\\Music\\one.mp3", L"C:\\Music\\two.m4a"},
         true,
         {L"C:\\Music\\one.mp3", L"C:\\Music\\two.m4a", L"C:\\Music\\three.mp3"}},
        {"one in the library only", {L"C:\\Music\\four.mp3", L"C:\\Music\\two.m4a"}, true,
         {L"C:\\Music\\two.m4a", L"C:\\Music\\four.mp3"}},
        // The library's "C:\Music\one" is not the wanted path it begins.
        {"one missing everywhere", {L"C:\\Music\\one.mp3", L"C:\\Music\\missing.mp3", L"C:\\Music\\one.mp"}, false,
         {L"C:\\Music\\one.mp3", L"<end>"}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        Collected collected;
        EXPECT_EQ(test.allFound, client.Enumerate(test.wanted, collected.Sink(), L"Album A"));
        EXPECT_EQ(test.handedOn, Paths(collected));
    }
}

TEST_F(SushiControllerTest, SelectedTracksAreCountedAndTransferredWithAnEndMarker) {
    UseLibrary(kSelectionLibrary);
    CSushiController client(folder_);
    ASSERT_EQ(CSushiController::kConnected, client.Open());
    EXPECT_EQ(4, client.CountSelectedTracks());
    Collected collected;
    ASSERT_TRUE(client.TransferSelectedTracks(collected.Sink()));
    const std::vector<std::wstring> expected = {L"C:\\Music\\one.mp3", L"C:\\Music\\two.m4a", L"C:\\Music\\three.mp3",
                                                L"<end>"};
    EXPECT_EQ(expected, Paths(collected));
    EXPECT_EQ(1, collected.records[1]->isPodcast);

    // Without a selection nothing is counted or handed on.
    UseLibrary(kVersion);
    CSushiController unselected(folder_);
    ASSERT_EQ(CSushiController::kConnected, unselected.Open());
    EXPECT_EQ(0, unselected.CountSelectedTracks());
    Collected none;
    EXPECT_FALSE(unselected.TransferSelectedTracks(none.Sink()));
    EXPECT_TRUE(none.records.empty());
}

TEST_F(SushiControllerTest, CoverPicturesAreSavedWithTheirFormatsExtension) {
    UseLibrary(std::string(kVersion) +
               "playlist\tCovers\n"
               "file\tC:\\Music\\png.mp3\tPng\tA\tB\t0\t2\n"
               "file\tC:\\Music\\unknown.mp3\tUnknown\tA\tB\t0\t0\n"
               "file\tC:\\Music\\jpg.mp3\tJpg\tA\tB\t0\t1\n"
               "file\tC:\\Music\\bmp.mp3\tBmp\tA\tB\t0\t3\n"
               "file\tC:\\Music\\other.mp3\tOther\tA\tB\t0\t4\n"
               "file\tC:\\Music\\none.mp3\tNone\tA\tB\t0\n");
    CSushiController client(folder_);
    ASSERT_EQ(CSushiController::kConnected, client.Open());
    Collected collected;
    ASSERT_TRUE(client.ReadTracks(L"Covers", collected.Sink()));
    const wchar_t* extensions[] = {L".png", L".tmp", L".jpg", L".bmp", nullptr, nullptr};
    ASSERT_EQ(6u, collected.records.size());
    for (size_t index = 0; index < 6; ++index) {
        SCOPED_TRACE(index);
        const CTNContent& record = *collected.records[index];
        if (!extensions[index]) {
            EXPECT_TRUE(record.artworkPath.empty());
            continue;
        }
        EXPECT_EQ(folder_ + L"\\" + record.id + extensions[index], record.artworkPath);
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(record.artworkPath.c_str()));
    }
}

TEST_F(SushiControllerTest, ACancelledReadHandsOnOnlyItsPlaceholders) {
    CSushiController client(folder_);
    ASSERT_EQ(CSushiController::kConnected, client.Open());
    Collected collected;
    // The placeholder of the second entry arrives during the walk: cancel there.
    auto sink = [&](CTNContent* content) {
        collected.records.emplace_back(content);
        client.Cancel();
    };
    EXPECT_FALSE(client.ReadTracks(L"Road trip", sink));
    ASSERT_EQ(1u, collected.records.size());
    EXPECT_EQ(CTNContent::kITunesTrack, collected.records[0]->kind);
    // The next walk starts uncancelled.
    Collected again;
    EXPECT_TRUE(client.ReadTracks(L"Road trip", again.Sink()));
    EXPECT_EQ(4u, again.records.size());
}
