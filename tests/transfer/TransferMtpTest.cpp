// The transfer manager on the simulated MTP player: the player is preferred, its own document
// read, and contents land as objects at their destinations.
#include <algorithm>

#include "tests/mtp/MtpTestSupport.h"
#include "tests/transfer/CarAudioTestSupport.h"
#include "tests/transfer/TransferTestSupport.h"

namespace {
class TransferMtpTest : public MtpControllerTest {
protected:
    void SetUp() override {
        MtpControllerTest::SetUp();
        ASSERT_TRUE(registry_.IsActive());
        capability_ = StandardCapability();
        CTransferManager::Controllers controllers{&controller_, &msc_, [] { return false; }};
        manager_ = std::make_unique<CTransferManager>(controllers);
        manager_->SetDataFolder(data_.Path() + L"\\");
        manager_->SetWaits(1, 300);
        manager_->SetListener(&events_);
    }
    void TearDown() override {
        if (manager_) manager_->Stop();
        manager_.reset();
        MtpControllerTest::TearDown();
    }
    std::unique_ptr<CTNContent> Make(uint32_t kind, uint32_t fileType, const std::wstring& relative,
                                     const std::string& bytes) {
        auto content = std::make_unique<CTNContent>(0, kind);
        const std::wstring name = L"src" + std::to_wstring(++counter_) + L".bin";
        sources_.WriteFile(name, bytes);
        content->sourcePath = sources_.Join(name);
        content->relativePath = relative;
        content->fileType = fileType;
        return content;
    }
    void Push(std::unique_ptr<CTNContent> content) {
        ASSERT_TRUE(PushAndWait(*manager_, std::move(content)));
    }

    CScratchRegistry registry_;
    CScratchFolder data_;
    CScratchFolder mscRoot_;
    CFakeDeviceController msc_{mscRoot_.Path() + L"\\"};
    CRecordingTransferListener events_;
    std::unique_ptr<CTransferManager> manager_;
    int counter_ = 0;
};
}  // namespace

TEST_F(TransferMtpTest, ContentsLandAsObjectsOnTheMtpPlayer) {
    AttachPlayer(L"dev1");
    msc_.findResults = {CDeviceControllerBase::kDeviceFound};
    msc_.capability = StandardCapability();
    bool hasFile = false;
    ASSERT_EQ(1, manager_->CheckDevice(&hasFile));
    EXPECT_TRUE(hasFile);
    ASSERT_EQ(CTransferManager::kMtpController, manager_->GetActiveControllerType());
    EXPECT_EQ(L"SONGS\\", manager_->GetMusicFolder());
    ASSERT_EQ(S_OK, manager_->Start());

    Push(Make(CTNContent::kSong, 0, L"Artist\\song.mp3", "song bytes"));
    Push(Make(CTNContent::kPicture, 0, L"photo.jpg", "jpeg bytes"));
    sources_.WriteFile(L"clip.thm", "thumb");
    auto video = Make(CTNContent::kVideo, 19, L"clip.mp4", "video bytes");
    video->companionSourcePath = sources_.Join(L"clip.thm");
    video->companionRelativePath = L"clip.thm";
    Push(std::move(video));
    // A video the player has no format for is refused by the controller: failed list.
    Push(Make(CTNContent::kVideo, 3, L"odd.xyz", "odd"));

    EXPECT_EQ("song bytes", Data(ObjectAt(L"SONGS\\Artist\\song.mp3")));
    EXPECT_EQ("jpeg bytes", Data(ObjectAt(L"PICS\\photo.jpg")));
    EXPECT_EQ("video bytes", Data(ObjectAt(L"MOVIES\\clip.mp4")));
    EXPECT_EQ("thumb", Data(ObjectAt(L"MOVIES\\clip.thm")));
    EXPECT_EQ(std::vector<std::wstring>{L"MOVIES\\odd.xyz"}, manager_->GetFailedList());
    EXPECT_EQ(4, events_.processed);
    EXPECT_FALSE(events_.progress.empty());
    EXPECT_TRUE(msc_.writes.empty());
}

TEST_F(TransferMtpTest, CancelStopsTheUploadAndTheNextRunWorks) {
    AttachPlayer(L"dev1");
    bool hasFile = false;
    ASSERT_EQ(1, manager_->CheckDevice(&hasFile));
    ASSERT_EQ(S_OK, manager_->Start());
    Push(Make(CTNContent::kSong, 0, L"keep.mp3", "kept"));

    // The coordinator's cancel arrives while the upload runs.
    CScopedHandle started(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    struct Canceller : CTransferManager::IListener {
        CTransferManager* manager;
        HANDLE started;
        void OnContentProcessed() override {}
        void OnDeviceContents(uint64_t, uint64_t, uint64_t, uint64_t, uint64_t, uint64_t, uint64_t) override {}
        void OnContentDeleted(int) override {}
        void OnDeleteFinished(int, CQBTreeNode* root) override { delete root; }
        void OnFolderTree(int, CQBTreeNode* root) override { delete root; }
        void OnDiskFull() override {}
        void OnWriteProgress(uint32_t written, uint32_t) override {
            if (written > 0 && WaitForSingleObject(started, 0) != WAIT_OBJECT_0) {
                manager->CancelTransfer();
                SetEvent(started);
            }
        }
        void OnContentResult(int, std::wstring) override {}
        void OnMoodChannelStep(const wchar_t*) override {}
        void OnMoodChannelDone(const wchar_t*) override {}
        void OnDeviceWarning() override {}
    } canceller;
    canceller.manager = manager_.get();
    canceller.started = started.Get();
    manager_->SetListener(&canceller);
    Push(Make(CTNContent::kSong, 0, L"big.mp3", std::string(2 << 20, 'b')));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(started.Get(), 0));
    EXPECT_EQ(L"", ObjectAt(L"SONGS\\big.mp3"));
    EXPECT_EQ("kept", Data(ObjectAt(L"SONGS\\keep.mp3")));
    EXPECT_TRUE(manager_->GetFailedList().empty());

    manager_->SetListener(&events_);
    manager_->Reset();
    Push(Make(CTNContent::kSong, 0, L"again.mp3", "again"));
    EXPECT_EQ("again", Data(ObjectAt(L"SONGS\\again.mp3")));
}

TEST_F(TransferMtpTest, CarAudioChannelFilesAreReplacedInPlaceOnTheMtpPlayer) {
    // The simulated player takes its folder's content when it is attached: the marker goes first.
    players_.push_back(std::make_unique<CScratchFolder>());
    players_.back()->WriteFile(L"capability_00.xml", capability_);
    players_.back()->WriteFile(L"Carvell.dat", "");
    ASSERT_EQ(S_OK, standin_.Attach(L"car1", L"Car unit", players_.back()->Path(), 64ull << 20));
    manager_->SetCarAudioAllowed(1);
    bool hasFile = false;
    ASSERT_EQ(1, manager_->CheckDevice(&hasFile));
    ASSERT_EQ(CTransferManager::kMtpController, manager_->GetActiveControllerType());
    ASSERT_EQ(CTransferManager::kCarAudioUnit, manager_->GetMode());
    ASSERT_EQ(S_OK, manager_->Start());

    Push(Make(CTNContent::kSong, 0, L"a.mp3", SongWithMoodData(MoodClassPayload())));
    Push(Make(CTNContent::kSong, 0, L"b.mp3", "no mood data"));

    // Every channel file exists once, holding both tracks where both belong.
    const std::wstring channels = ObjectAt(L"Tavrel_Automotive\\HVC");
    ASSERT_FALSE(channels.empty());
    std::vector<std::wstring> names;
    for (const std::wstring& id : Children(channels)) names.push_back(Text(id, WPD_OBJECT_ORIGINAL_FILE_NAME));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names.end(), std::adjacent_find(names.begin(), names.end()));
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), L"CID000.ZEP"));
    const std::string everyTrack = Data(ObjectAt(L"Tavrel_Automotive\\HVC\\CID005.ZEP"));
    EXPECT_NE(std::string::npos, everyTrack.find(ChannelEntryBytes(L"\\SONGS\\a.mp3")));
    EXPECT_NE(std::string::npos, everyTrack.find(ChannelEntryBytes(L"\\SONGS\\b.mp3")));
    std::string local;
    ASSERT_TRUE(ReadWholeFile(data_.Join(L"Tavrel_Automotive\\HVC\\CID005.ZEP"), &local));
    EXPECT_EQ(local, everyTrack);
}

TEST_F(TransferMtpTest, ShutdownDuringAGibibyteUploadEndsWithinTwoSeconds) {
    AttachPlayer(L"dev1", 4ull << 30);
    bool hasFile = false;
    ASSERT_EQ(1, manager_->CheckDevice(&hasFile));
    CWriteStartedListener listener;
    manager_->SetListener(&listener);
    ASSERT_EQ(S_OK, manager_->Start());
    auto movie = Make(CTNContent::kSong, 0, L"movie.mp3", "");
    ASSERT_TRUE(MakeLargeFile(movie->sourcePath, 1ull << 30));
    manager_->PostContent(movie.release());
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(listener.writing, 10000));

    // The quit: the coordinator stops the manager and destroys it.
    EXPECT_GT(2000u, Elapsed([&] {
        manager_->Stop();
        manager_.reset();
    }));
    EXPECT_EQ(L"", ObjectAt(L"SONGS\\movie.mp3"));
}

TEST_F(TransferMtpTest, APlayerThatFillsUpIsReportedAsDiskFullOnceAndTheRunStops) {
    AttachPlayer(L"dev1");
    bool hasFile = false;
    ASSERT_EQ(1, manager_->CheckDevice(&hasFile));
    // The coordinator cancels the run on the first disk-full report.
    struct Coordinator : CRecordingTransferListener {
        CTransferManager* manager = nullptr;
        void OnDiskFull() override {
            CRecordingTransferListener::OnDiskFull();
            manager->CancelTransfer();
        }
    } coordinator;
    coordinator.manager = manager_.get();
    manager_->SetListener(&coordinator);
    ASSERT_EQ(S_OK, manager_->Start());
    // The player's storage says "full" the way many devices do, through the stream.
    standin_.ArmFault(kWpdFaultWrite, 1, STG_E_MEDIUMFULL);
    manager_->PostContent(Make(CTNContent::kSong, 0, L"first.mp3", "first").release());
    manager_->PostContent(Make(CTNContent::kSong, 0, L"second.mp3", "second").release());
    ASSERT_TRUE(WaitUntilIdle(*manager_));

    EXPECT_EQ(1, coordinator.diskFull);
    EXPECT_EQ(0, coordinator.processed);
    EXPECT_TRUE(manager_->GetFailedList().empty()) << "no file fails one by one";
    EXPECT_EQ(L"", ObjectAt(L"SONGS\\first.mp3"));
    EXPECT_EQ(L"", ObjectAt(L"SONGS\\second.mp3"));
    manager_->SetListener(&events_);
}
