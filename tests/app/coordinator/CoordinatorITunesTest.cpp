// An iTunes selection named by a script travels the coordinator's chain to the player: the
// coordinator gives the contents manager the program's own iTunes client, which finds the
// stand-in server registered as the application.
#include <algorithm>

#include "tests/app/coordinator/CoordinatorTestSupport.h"
#include "tests/itunes/ITunesStandinServer.h"

#include "library/itunes/SushiController.h"
#include "library/util/TextConversion.h"

namespace {

class CoordinatorITunesTest : public CoordinatorTest {
protected:
    // The stand-in reads its library's name from the machine hive, which each test's scratch
    // registry hides: the library is set before any test starts.
    static void SetUpTestSuite() {
        wchar_t temp[MAX_PATH];
        ASSERT_NE(0u, GetTempPathW(MAX_PATH, temp));
        server_.reset(new CITunesStandinServer(std::wstring(temp) + L"qb_coordinator_itunes." +
                                               std::to_wstring(GetCurrentProcessId())));
        ASSERT_TRUE(server_->Register());
        ASSERT_TRUE(server_->UseLibrary("version\t7\t1\n"
                                        "playlist\tRoad trip\n"
                                        "file\t" + Song(L"one.mp3") + "\tOne\tArtist A\tAlbum A\t0\n"
                                        "url\tInternet radio\n"
                                        "file\t" + Song(L"two.mp3") + "\tTwo\tArtist B\tAlbum B\t0\n"
                                        "playlist\tElsewhere\n"
                                        "file\t" + Song(L"three.mp3") + "\tThree\tArtist C\tAlbum C\t0\n"));
    }
    static void TearDownTestSuite() { server_.reset(); }

    void SetUp() override {
        CoordinatorTest::SetUp();
        // A client held for the test keeps the server from ending between the coordinator's
        // requests, and waits until a freshly registered server answers at all.
        keeper_ = ConnectToStandin(server_->Folder());
        ASSERT_TRUE(keeper_);
    }
    void TearDown() override {
        keeper_.reset();
        CoordinatorTest::TearDown();
    }

    // A song of the test data in the server's folder; its path as the library's text names it.
    static std::string Song(const std::wstring& name) {
        const std::wstring path = server_->Folder() + L"\\" + name;
        EXPECT_TRUE(CopyFileW((std::wstring(L"" QB_TEST_DATA_DIR) + L"/mediaprobe/tagged.mp3").c_str(), path.c_str(),
                              FALSE));
        std::string text;
        WideToUtf8(path, &text);
        return text;
    }

    static std::unique_ptr<CITunesStandinServer> server_;
    std::unique_ptr<CSushiController> keeper_;
};

std::unique_ptr<CITunesStandinServer> CoordinatorITunesTest::server_;

TEST_F(CoordinatorITunesTest, ANamedSelectionLandsOnThePlayer) {
    ASSERT_EQ(S_OK, coordinator_->Initialize());
    ConnectPlayer(CapabilityDocument({"mp3", "", "", "", "", false, "", false}));
    ASSERT_EQ(CTransferManager::kStateFound, coordinator_->GetLastDeviceState());

    int32_t result = 0;
    coordinator_->Transfer(CBstrHolder(L"Road trip"), 7, 0, &result);
    ASSERT_TRUE(events_.WaitFor(IAutomationEvents::kEnd, 1))
        << mtp_.writtenRecords.size() << " written, " << coordinator_->ContentsStage().GetAnnouncedCount()
        << " announced";
    // The selection's two file tracks are written under their artist and album; the stream is
    // counted as done.
    std::vector<std::wstring> written;
    for (const CFakeDeviceController::WrittenRecord& record : mtp_.writtenRecords) written.push_back(record.relativePath);
    std::sort(written.begin(), written.end());
    EXPECT_EQ((std::vector<std::wstring>{L"Artist A\\Album A\\one.mp3", L"Artist B\\Album B\\two.mp3"}), written);
    EXPECT_EQ(L"", coordinator_->GetRunReport());
}

}  // namespace
