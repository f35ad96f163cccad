#include "library/itunes/SushiController.h"

#include "library/content/TNContent.h"
#include "library/util/TextConversion.h"
#include "tests/itunes/ITunesStandinServer.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <thread>
#include <string>
#include <vector>

namespace {

const char kVersion[] = "version\t7\t1\n";
const char kPlaylists[] =
    "playlist\tRoad trip\n"
    "file\tC:\\Music\\one.mp3\tOne\tArtist A\tAlbum A\t0\n"
    "url\tInternet radio\n"
    "file\tC:\\Music\\two.m4a\tTwo\tArtist B\tAlbum B\t1\n"
    "file\tC:\\Music\\three.mp3\tThree\tArtist C\tAlbum C\t0\n"
    "playlist\tEmpty\n";

std::wstring TestFolder() {
    wchar_t temp[MAX_PATH];
    if (GetTempPathW(MAX_PATH, temp) == 0) return std::wstring();
    return std::wstring(temp) + L"qb_itunes_test." + std::to_wstring(GetCurrentProcessId());
}

class SushiControllerTest : public ::testing::Test {
protected:
    // One stand-in process serves the whole suite: a client held open keeps it from ending between
    // tests (a server that is ending refuses new clients). Each application object reads the
    // fixture anew, so tests change the library without a new process.
    static void SetUpTestSuite() {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        server_.reset(new CITunesStandinServer(TestFolder()));
        folder_ = server_->Folder();
    }

    static void TearDownTestSuite() {
        keeper_.reset();
        server_.reset();
        CoUninitialize();
    }

    void SetUp() override {
        UseLibrary(std::string(kVersion) + kPlaylists);
        if (keeper_) return;
        ASSERT_TRUE(server_->Register());
        keeper_ = ConnectToStandin(folder_);
        ASSERT_TRUE(keeper_);
    }

    // Lets the stand-in end and removes its registration.
    static void RemoveServer() {
        keeper_.reset();
        ASSERT_TRUE(server_->Unregister());
    }

    // The fixture the next application object of the stand-in serves.
    static void UseLibrary(const std::string& text) { ASSERT_TRUE(server_->UseLibrary(text)); }

    static std::unique_ptr<CITunesStandinServer> server_;
    static std::wstring folder_;
    static std::unique_ptr<CSushiController> keeper_;
};

std::unique_ptr<CITunesStandinServer> SushiControllerTest::server_;
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
    // The running stand-in ends once its last client has gone and its start-up grace is over;
    // until then it may still answer.
    CSushiController client(folder_);
    int32_t result = CSushiController::kConnected;
    const DWORD start = GetTickCount();
    while (result == CSushiController::kConnected && GetTickCount() - start < 90000) {
        client.Release();
        Sleep(200);
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

namespace {

std::string Utf8(const std::wstring& text) {
    std::string converted;
    WideToUtf8(text, &converted);
    return converted;
}

// The call log's lines, in order.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace

TEST_F(SushiControllerTest, EnumerateSearchesTheLibraryOnlyForWhatTheSelectionLacks) {
    UseLibrary("log\t" + Utf8(server_->LogPath()) + "\n" +
               kSelectionLibrary +
               // Two tracks of one album outside the selection: a search for the album finds
               // exactly as many tracks as are wanted.
               "playlist\tElsewhere\n"
               "file\tC:\\Music\\five.mp3\tFive\tArtist E\tAlbum E\t0\n"
               "file\tC:\\Music\\six.mp3\tSix\tArtist E\tAlbum E\t0\n");
    CSushiController client(folder_);
    ASSERT_EQ(CSushiController::kConnected, client.Open());
    struct Case {
        const char* name;
        std::vector<std::wstring> wanted;
        const wchar_t* searchName;
        bool allFound;
        std::vector<std::wstring> handedOn;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"three wanted paths, all in the selection",
         {L"C:\\Music\\one.mp3", L"C:\\Music\\two.m4a", L"C:\\Music\\three.mp3"},
         L"Album A",
         true,
         {L"C:\\Music\\one.mp3", L"C:\\Music\\two.m4a", L"C:\\Music\\three.mp3"},
         {"SelectedTracks"}},
        // Albums come first: its result holds as many tracks as are wanted, and is walked.
        {"found by the album search",
         {L"C:\\Music\\six.mp3", L"C:\\Music\\five.mp3"},
         L"Album E",
         true,
         {L"C:\\Music\\five.mp3", L"C:\\Music\\six.mp3"},
         {"SelectedTracks", "LibraryPlaylist", "Search 3 Album E"}},
        // The name matches in no field: every step runs and the end marker follows.
        {"a path missing everywhere",
         {L"C:\\Music\\two.m4a", L"C:\\Music\\missing.mp3"},
         L"Nowhere",
         false,
         {L"C:\\Music\\two.m4a", L"<end>"},
         {"SelectedTracks", "LibraryPlaylist", "Search 3 Nowhere", "Search 2 Nowhere", "Search 1 Nowhere",
          "Search 4 Nowhere", "Tracks Library"}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        server_->ClearLog();
        Collected collected;
        EXPECT_EQ(test.allFound, client.Enumerate(test.wanted, collected.Sink(), test.searchName));
        EXPECT_EQ(test.handedOn, Paths(collected));
        EXPECT_EQ(test.calls, Lines(server_->LoggedCalls()));
    }
}

TEST_F(SushiControllerTest, FailingCallsAreStoodForOrSkipped) {
    UseLibrary(std::string(kVersion) +
               "playlist\tMixed\n"
               "file\tC:\\Music\\one.mp3\tOne\tArtist A\tAlbum A\t0\n"
               "broken\tC:\\Music\\broken.mp3\n"
               "file\tC:\\Music\\two.mp3\tTwo\tArtist B\tAlbum B\t0\n"
               "selection\n"
               "broken\tC:\\Music\\broken.mp3\n"
               "file\tC:\\Music\\three.mp3\tThree\tArtist C\tAlbum C\t0\n");
    CSushiController client(folder_);
    ASSERT_EQ(CSushiController::kConnected, client.Open());
    // In a named selection's read the unreadable file track gets a placeholder at once.
    Collected read;
    ASSERT_TRUE(client.ReadTracks(L"Mixed", read.Sink()));
    EXPECT_EQ((std::vector<std::wstring>{L"<end>", L"C:\\Music\\one.mp3", L"C:\\Music\\two.mp3"}), Paths(read));
    EXPECT_EQ(2, read.records[2]->playlistMemberIndex);
    EXPECT_EQ(2, read.records[2]->playlistMemberCount);
    // A wanted path whose track cannot be read is struck off without a record.
    Collected enumerated;
    EXPECT_TRUE(client.Enumerate({L"C:\\Music\\broken.mp3", L"C:\\Music\\three.mp3"}, enumerated.Sink(), L""));
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\Music\\three.mp3"}), Paths(enumerated));
}

TEST_F(SushiControllerTest, AServerThatDiesInTheMiddleOfAReadEndsItWithPlaceholders) {
    UseLibrary(std::string(kVersion) + "playlist\tDoomed\n" +
               "file\tC:\\Music\\one.mp3\tOne\tArtist A\tAlbum A\t0\n"
               "stall\t" + Utf8(server_->StallEventName()) + "\n" +
               "file\tC:\\Music\\two.mp3\tTwo\tArtist B\tAlbum B\t0\n"
               "file\tC:\\Music\\three.mp3\tThree\tArtist C\tAlbum C\t0\n");
    CSushiController client(folder_);
    ASSERT_EQ(CSushiController::kConnected, client.Open());
    bool killed = false;
    std::thread killer([&] { killed = server_->WaitStalled(60000) && server_->KillStalledServer(); });
    Collected collected;
    const DWORD start = GetTickCount();
    const bool read = client.ReadTracks(L"Doomed", collected.Sink());
    killer.join();
    ASSERT_TRUE(killed);
    // The keeper's server is gone too; the next test starts another.
    keeper_.reset();
    EXPECT_TRUE(read);
    EXPECT_LT(GetTickCount() - start, 90000u);
    // The stalled track and the two after it could not be taken; the track read before the
    // server died still goes on, after the walk.
    EXPECT_EQ((std::vector<std::wstring>{L"<end>", L"<end>", L"<end>", L"C:\\Music\\one.mp3"}), Paths(collected));
    client.Release();
    // The dead server left no class behind: a new client starts a new server.
    CSushiController next(folder_);
    EXPECT_EQ(CSushiController::kConnected, next.Open());
    EXPECT_EQ(4, next.CountTracks(L"Doomed"));
}
