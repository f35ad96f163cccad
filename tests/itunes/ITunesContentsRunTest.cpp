// The contents manager's iTunes requests against the stand-in server: each run ends with every
// announced item gone down the chain or reported done, whatever the library holds or does.
#include "library/itunes/SushiController.h"
#include "library/util/TextConversion.h"
#include "tests/contents/ContentsTestSupport.h"
#include "tests/itunes/ITunesStandinServer.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

// Generous: every test may be running at once.
const DWORD kRunLimitMs = 60000;

std::string Utf8(const std::wstring& text) {
    std::string converted;
    WideToUtf8(text, &converted);
    return converted;
}

const char kLibrary[] =
    "version\t7\t1\n"
    "playlist\tRoad trip\n"
    "file\tC:\\Music\\one.mp3\tOne\tArtist A\tAlbum A\t0\n"
    "url\tInternet radio\n"
    "file\tC:\\Music\\two.m4a\tTwo\tArtist B\tAlbum B\t1\n"
    "broken\tC:\\Music\\broken.mp3\n"
    "file\tC:\\Music\\three.mp3\tThree\tArtist C\tAlbum C\t0\n"
    "playlist\tElsewhere\n"
    "file\tC:\\Music\\four.mp3\tFour\tArtist D\tAlbum D\t0\n"
    "selection\n"
    "file\tC:\\Music\\sel1.mp3\tSel 1\tArtist S\tAlbum S\t1\n"
    "url\tPodcast page\n"
    "file\tC:\\Music\\sel2.mp3\tSel 2\tArtist S\tAlbum S\t1\n";

class ITunesContentsRunTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        wchar_t temp[MAX_PATH];
        ASSERT_NE(0u, GetTempPathW(MAX_PATH, temp));
        server_.reset(
            new CITunesStandinServer(std::wstring(temp) + L"qb_itunes_run_test." + std::to_wstring(GetCurrentProcessId())));
        ASSERT_TRUE(server_->Register());
    }

    static void TearDownTestSuite() {
        keeper_.reset();
        server_.reset();
        CoUninitialize();
    }

    void SetUp() override {
        ASSERT_TRUE(server_->UseLibrary(kLibrary));
        // A client held for the suite keeps one server from ending between the manager's requests.
        if (!keeper_) keeper_ = ConnectToStandin(server_->Folder());
        ASSERT_TRUE(keeper_);
        // The manager makes its client as the coordinator has it do.
        fixture_.manager.SetITunesClientFactory(&CSushiController::Create);
    }

    std::vector<std::wstring> ArrivedPaths() {
        std::vector<std::wstring> paths;
        for (const CContentSink::Arrival& arrival : fixture_.sink.Arrivals()) paths.push_back(arrival.sourcePath);
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    static std::unique_ptr<CITunesStandinServer> server_;
    static std::unique_ptr<CSushiController> keeper_;
    ContentsFixture fixture_;
};

std::unique_ptr<CITunesStandinServer> ITunesContentsRunTest::server_;
std::unique_ptr<CSushiController> ITunesContentsRunTest::keeper_;

TEST_F(ITunesContentsRunTest, ANamedSelectionEndsTheRun) {
    fixture_.manager.AddTransferRequest(7, L"Road trip", 0);
    // Five tracks announced: three travel, the radio stream and the unreadable file are done.
    ASSERT_TRUE(fixture_.WaitAnnouncedAndAccounted(5, kRunLimitMs));
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\Music\\one.mp3", L"C:\\Music\\three.mp3", L"C:\\Music\\two.m4a"}),
              ArrivedPaths());
    EXPECT_EQ(2, fixture_.coordinator.itemsDone.load());
    EXPECT_TRUE(fixture_.manager.GetReportListD().empty());
}

TEST_F(ITunesContentsRunTest, AnITunesFileDropEndsTheRun) {
    struct Case {
        const char* name;
        std::vector<std::wstring> dropped;
        std::vector<std::wstring> arrived;
    };
    const Case cases[] = {
        {"all in the selection", {L"C:\\Music\\sel2.mp3", L"C:\\Music\\sel1.mp3"},
         {L"C:\\Music\\sel1.mp3", L"C:\\Music\\sel2.mp3"}},
        {"one in the library, one nowhere",
         {L"C:\\Music\\sel1.mp3", L"C:\\Music\\four.mp3", L"C:\\Music\\missing.mp3"},
         {L"C:\\Music\\four.mp3", L"C:\\Music\\sel1.mp3"}},
    };
    int32_t announced = 0;
    int arrived = 0;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        for (const std::wstring& path : test.dropped) fixture_.manager.AddTransferRequest(3, path, 9);
        fixture_.manager.AddTransferRequest(4, L"", 0);
        announced += static_cast<int32_t>(test.dropped.size());
        arrived += static_cast<int>(test.arrived.size());
        ASSERT_TRUE(fixture_.WaitAnnouncedAndAccounted(announced, kRunLimitMs));
        ASSERT_TRUE(WaitFor([&] { return int(fixture_.sink.Count()) == arrived; }, kRunLimitMs))
            << fixture_.sink.Count() << " arrived, " << fixture_.coordinator.itemsDone.load() << " done, list A "
            << fixture_.manager.GetReportListA().size() << ", list B " << fixture_.manager.GetReportListB().size();
    }
    const std::vector<std::wstring> expected = {L"C:\\Music\\four.mp3", L"C:\\Music\\sel1.mp3", L"C:\\Music\\sel1.mp3",
                                                L"C:\\Music\\sel2.mp3"};
    EXPECT_EQ(expected, ArrivedPaths());
    // Only the missing path was done; the unfinished enumeration asked for the end-of-run check.
    EXPECT_EQ(1, fixture_.coordinator.itemsDone.load());
    EXPECT_TRUE(WaitFor([&] { return fixture_.coordinator.finishedChecks.load() == 1; }, kRunLimitMs));
}

TEST_F(ITunesContentsRunTest, APodcastDropEndsTheRun) {
    // The podcast drop counts the selection once (three entries) and its feed file; the podcast
    // step hands on the two file tracks.
    fixture_.manager.AddTransferRequest(5, L"C:\\Feeds\\missing.pcast", 9);
    fixture_.manager.AddTransferRequest(6, L"", 9);
    ASSERT_TRUE(fixture_.WaitAnnouncedAndAccounted(4, kRunLimitMs));
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\Music\\sel1.mp3", L"C:\\Music\\sel2.mp3"}), ArrivedPaths());
    EXPECT_EQ(2, fixture_.coordinator.itemsDone.load());
    EXPECT_TRUE(WaitFor([&] { return fixture_.coordinator.finishedChecks.load() == 1; }, kRunLimitMs));
}

TEST_F(ITunesContentsRunTest, ThePodcastStepOfAnEmptySelectionFinishesNothingItDidNotAnnounce) {
    ASSERT_TRUE(server_->UseLibrary("version\t7\t1\nselection\n"));
    fixture_.manager.AddTransferRequest(6, L"", 0);
    ASSERT_TRUE(WaitFor([&] { return fixture_.coordinator.finishedChecks.load() == 1; }, kRunLimitMs));
    EXPECT_EQ(0, fixture_.manager.GetAnnouncedCount());
    EXPECT_EQ(0, fixture_.coordinator.itemsDone.load());
}

TEST_F(ITunesContentsRunTest, ASelectionGoneBeforeItIsReadGoesToListD) {
    // The request worker is held in the dropped file's check while the selection is announced;
    // then the library loses it.
    HANDLE entered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    fixture_.coordinator.onDeviceRequest = [&] {
        SetEvent(entered);
        WaitForSingleObject(gate, kRunLimitMs);
    };
    CTestDataObject data;
    data.SetFiles({L"C:\\music\\a.mp3"});
    fixture_.manager.HandleDrop(&data);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(entered, kRunLimitMs));
    fixture_.manager.AddTransferRequest(7, L"Elsewhere", 0);
    EXPECT_EQ(2, fixture_.manager.GetAnnouncedCount());
    ASSERT_TRUE(server_->UseLibrary("version\t7\t1\nplaylist\tRoad trip\n"));
    SetEvent(gate);
    ASSERT_TRUE(fixture_.WaitAnnouncedAndAccounted(2, kRunLimitMs));
    EXPECT_EQ(std::vector<std::wstring>{L"Elsewhere"}, fixture_.manager.GetReportListD());
    EXPECT_EQ(1, fixture_.coordinator.itemsDone.load());
    fixture_.coordinator.onDeviceRequest = nullptr;
    CloseHandle(entered);
    CloseHandle(gate);
}

TEST_F(ITunesContentsRunTest, AServerKilledInTheMiddleOfAReadEndsTheRun) {
    ASSERT_TRUE(server_->UseLibrary(std::string(kLibrary) + "playlist\tDoomed\n" +
                                    "file\tC:\\Music\\d1.mp3\tD 1\tArtist D\tAlbum D\t0\n"
                                    "url\tInternet radio\n"
                                    "stall\t" + Utf8(server_->StallEventName()) + "\n" +
                                    "file\tC:\\Music\\d2.mp3\tD 2\tArtist D\tAlbum D\t0\n"
                                    "file\tC:\\Music\\d3.mp3\tD 3\tArtist D\tAlbum D\t0\n"));
    const DWORD start = GetTickCount();
    fixture_.manager.AddTransferRequest(7, L"Doomed", 0);
    ASSERT_TRUE(server_->WaitStalled(kRunLimitMs));
    ASSERT_TRUE(server_->KillStalledServer());
    // The suite's client went with the server.
    keeper_.reset();
    // Every track is accounted for: the one read before the server died travels, the rest are
    // done (the stream, the stalled track and the two it took with it).
    ASSERT_TRUE(fixture_.WaitAnnouncedAndAccounted(5, kRunLimitMs));
    EXPECT_LT(GetTickCount() - start, 2 * kRunLimitMs);
    EXPECT_EQ(std::vector<std::wstring>{L"C:\\Music\\d1.mp3"}, ArrivedPaths());
    EXPECT_EQ(4, fixture_.coordinator.itemsDone.load());
    // A new request reaches a new server.
    fixture_.manager.AddTransferRequest(7, L"Elsewhere", 0);
    ASSERT_TRUE(fixture_.WaitAnnouncedAndAccounted(6, kRunLimitMs));
    EXPECT_EQ(2u, fixture_.sink.Count());
}

}  // namespace

namespace {

TEST_F(ITunesContentsRunTest, AResetDuringASlowReadHandsOnOnlyItsPlaceholders) {
    // Each track takes a second to reach: the walk is still early when the run is cancelled.
    std::string library = "version\t7\t1\ndelay\t1000\nplaylist\tSlow\nurl\tInternet radio\n";
    for (int i = 0; i < 30; ++i) {
        library += "file\tC:\\Music\\slow" + std::to_string(i) + ".mp3\tSlow\tArtist\tAlbum\t0\n";
    }
    ASSERT_TRUE(server_->UseLibrary(library));
    fixture_.manager.AddTransferRequest(7, L"Slow", 0);
    ASSERT_EQ(31, fixture_.manager.GetAnnouncedCount());
    // The stream's placeholder is done while the walk goes on.
    ASSERT_TRUE(WaitFor([&] { return fixture_.coordinator.itemsDone.load() == 1; }, kRunLimitMs));
    const DWORD start = GetTickCount();
    fixture_.manager.Cancel();
    fixture_.manager.Reset();
    EXPECT_LT(GetTickCount() - start, 20000u);
    // None of the tracks read before the cancel went on.
    EXPECT_EQ(0u, fixture_.sink.Count());
    EXPECT_EQ(1, fixture_.coordinator.itemsDone.load());
}

}  // namespace
