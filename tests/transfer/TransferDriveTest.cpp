// The transfer manager on a simulated mass-storage player: removable test drives (mapped by
// run_with_drives.sh) shown to the real mass-storage controller as USB players.
#include "tests/device/SimulatedDriveFacts.h"
#include "tests/transfer/CarAudioTestSupport.h"
#include "tests/transfer/TransferTestSupport.h"

namespace {
std::wstring FromEnvironment(const wchar_t* name) {
    wchar_t value[64] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 64);
    return length > 0 && length < 64 ? std::wstring(value, length) : std::wstring();
}

std::string Read(const std::wstring& path) {
    std::string bytes;
    return ReadWholeFile(path, &bytes) ? bytes : "<missing>";
}

void Write(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

void Empty(const std::wstring& folder) {
    WIN32_FIND_DATAW entry = {};
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + name;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            Empty(path + L"\\");
            RemoveDirectoryW(path.c_str());
        } else {
            DeleteFileW(path.c_str());
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

class DriveTransferTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring letters = FromEnvironment(L"QB_DEVICE_TEST_DRIVES");
        if (letters.empty()) GTEST_SKIP() << "no removable test drives (run through run_with_drives.sh)";
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        comEntered_ = true;
        ASSERT_TRUE(registry_.IsActive());
        letter_ = letters[0];
        full_ = FromEnvironment(L"QB_DEVICE_TEST_FULL_DRIVE");
        Empty(Root(letter_));
        CTransferManager::Controllers controllers{&mtp_, &msc_, [this] {
                                                      const bool warned = msc_.GetCarAudioWarning();
                                                      msc_.ClearCarAudioWarning();
                                                      return warned;
                                                  }};
        manager_ = std::make_unique<CTransferManager>(controllers);
        manager_->SetDataFolder(data_.Path() + L"\\");
        manager_->SetWaits(1, 300);
        manager_->SetListener(&events_);
    }
    void TearDown() override {
        if (manager_) manager_->Stop();
        manager_.reset();
        if (letter_ != 0) Empty(Root(letter_));
        if (!full_.empty()) Empty(Root(full_[0]));
        if (comEntered_) CoUninitialize();
    }
    static std::wstring Root(wchar_t letter) { return std::wstring(1, letter) + L":\\"; }
    void Player(wchar_t letter, const std::string& capability) {
        if (!capability.empty()) Write(Root(letter) + L"capability_00.xml", capability);
        facts_.AddUsbDrive(letter, L"0a0b_0c0d_SER");
        bool hasFile = false;
        ASSERT_EQ(1, manager_->CheckDevice(&hasFile));
        ASSERT_EQ(CTransferManager::kMscController, manager_->GetActiveControllerType());
        ASSERT_EQ(S_OK, manager_->Start());
    }
    std::unique_ptr<CTNContent> Make(uint32_t kind, const std::wstring& relative, const std::string& bytes) {
        auto content = std::make_unique<CTNContent>(0, kind);
        const std::wstring name = L"src" + std::to_wstring(++counter_) + L".bin";
        sources_.WriteFile(name, bytes);
        content->sourcePath = sources_.Join(name);
        content->relativePath = relative;
        return content;
    }
    void Push(std::unique_ptr<CTNContent> content) {
        ASSERT_TRUE(PushAndWait(*manager_, std::move(content)));
    }

    CScratchRegistry registry_;
    CScratchFolder data_;
    CScratchFolder sources_;
    CScratchFolder mtpRoot_;
    CFakeDeviceController mtp_{mtpRoot_.Path() + L"\\"};
    CSimulatedDriveFacts facts_;
    CMSCDeviceController msc_{facts_};
    CRecordingTransferListener events_;
    std::unique_ptr<CTransferManager> manager_;
    wchar_t letter_ = 0;
    std::wstring full_;
    int counter_ = 0;
    bool comEntered_ = false;
};
}  // namespace

TEST_F(DriveTransferTest, ContentsLandOnTheDriveWithProgress) {
    Player(letter_, StandardCapability(/*feedFormat=*/true));
    const std::wstring root = Root(letter_);
    Push(Make(CTNContent::kSong, L"Artist\\Album\\01.mp3", "song"));
    Push(Make(CTNContent::kAudioEpisode, L"Show\\e1.mp3", "episode"));
    Push(Make(CTNContent::kPicture, L"p.jpg", "picture"));
    sources_.WriteFile(L"clip.thm", "thumb");
    auto video = Make(CTNContent::kVideo, L"clip.mp4", std::string(300000, 'v'));
    video->companionSourcePath = sources_.Join(L"clip.thm");
    video->companionRelativePath = L"clip.thm";
    Push(std::move(video));
    Push(Make(CTNContent::kFeedFile, L"list.opml", "opml"));

    EXPECT_EQ("song", Read(root + L"MUSIC\\Artist\\Album\\01.mp3"));
    EXPECT_EQ("episode", Read(root + L"FEEDS\\AUDIO\\Show\\e1.mp3"));
    EXPECT_EQ("picture", Read(root + L"PICS\\p.jpg"));
    EXPECT_EQ(std::string(300000, 'v'), Read(root + L"MOVIES\\clip.mp4"));
    EXPECT_EQ("thumb", Read(root + L"MOVIES\\clip.thm"));
    EXPECT_EQ("opml", Read(root + L"FEEDS\\list.opml"));
    EXPECT_EQ(5, events_.processed);
    EXPECT_EQ(5u, manager_->GetTotalCount());
    // The 300,000-byte video: (0, total), then one report per 256 KiB block.
    bool sawVideoEnd = false;
    for (const auto& report : events_.progress) sawVideoEnd |= report == std::make_pair(300000u, 300000u);
    EXPECT_TRUE(sawVideoEnd);
    EXPECT_TRUE(manager_->GetFailedList().empty());
}

TEST_F(DriveTransferTest, PlayerWithoutDocumentUsesTheBuiltInFolders) {
    // Only the car-audio marker makes a drive without a document a candidate.
    Write(Root(letter_) + L"Carvell.dat", "");
    manager_->SetCarAudioAllowed(1);
    msc_.SetDeviceMode(1);
    facts_.AddUsbDrive(letter_, L"0a0b_0c0d_SER");
    bool hasFile = true;
    ASSERT_EQ(1, manager_->CheckDevice(&hasFile));
    EXPECT_FALSE(hasFile);
    EXPECT_EQ(CTransferManager::kCarAudioUnit, manager_->GetMode());
    EXPECT_EQ(L"MUSIC\\", manager_->GetMusicFolder());
    EXPECT_EQ(L"VIDEO\\", manager_->GetVideoFolder());
    const DWORD attributes = GetFileAttributesW((Root(letter_) + L"Tavrel_Automotive").c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_NE(0u, attributes & FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(DriveTransferTest, FullDriveLandsInTheDiskFullReportAndLeavesNoPartialFile) {
    if (full_.empty()) GTEST_SKIP() << "no tiny drive on this machine";
    Player(full_[0], StandardCapability());
    Push(Make(CTNContent::kSong, L"big.mp3", std::string(3 << 20, 'x')));
    Push(Make(CTNContent::kSong, L"small.mp3", "small"));
    EXPECT_EQ(2, events_.diskFull);
    EXPECT_EQ(0, events_.processed);
    EXPECT_TRUE(manager_->GetFailedList().empty());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((Root(full_[0]) + L"MUSIC\\big.mp3").c_str()));
    EXPECT_EQ("small", Read(Root(full_[0]) + L"MUSIC\\small.mp3"));
}

TEST_F(DriveTransferTest, CarAudioChannelFilesLandHiddenAndAreReplacedInPlace) {
    const std::wstring root = Root(letter_);
    Write(root + L"Carvell.dat", "");
    manager_->SetCarAudioAllowed(1);
    msc_.SetDeviceMode(1);
    facts_.AddUsbDrive(letter_, L"0a0b_0c0d_SER");
    bool hasFile = true;
    ASSERT_EQ(1, manager_->CheckDevice(&hasFile));
    ASSERT_EQ(CTransferManager::kCarAudioUnit, manager_->GetMode());
    ASSERT_EQ(S_OK, manager_->Start());

    auto first = Make(CTNContent::kSong, L"a.mp3", SongWithMoodData(MoodClassPayload()));
    first->fileType = 0;
    Push(std::move(first));
    auto second = Make(CTNContent::kSong, L"b.mp3", "no mood data");
    second->fileType = 0;
    Push(std::move(second));

    const std::wstring everyTrack = root + L"Tavrel_Automotive\\HVC\\CID005.ZEP";
    const std::string onPlayer = Read(everyTrack);
    EXPECT_NE(std::string::npos, onPlayer.find(ChannelEntryBytes(L"\\MUSIC\\a.mp3")));
    EXPECT_NE(std::string::npos, onPlayer.find(ChannelEntryBytes(L"\\MUSIC\\b.mp3")));
    std::string local;
    ASSERT_TRUE(ReadWholeFile(data_.Join(L"Tavrel_Automotive\\HVC\\CID005.ZEP"), &local));
    EXPECT_EQ(local, onPlayer);
    // Replaced in place: no second copy and no backup left behind.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((everyTrack + L".dat").c_str()));
    const DWORD attributes = GetFileAttributesW(everyTrack.c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_NE(0u, attributes & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((root + L"Tavrel_Automotive\\HVC\\CID000.ZEP").c_str()));
}

TEST_F(DriveTransferTest, ShutdownDuringAGibibyteCopyEndsWithinTwoSeconds) {
    Player(letter_, StandardCapability());
    CWriteStartedListener listener;
    manager_->SetListener(&listener);
    auto movie = Make(CTNContent::kSong, L"movie.mp3", "");
    ASSERT_TRUE(MakeLargeFile(movie->sourcePath, 1ull << 30));
    manager_->PostContent(movie.release());
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(listener.writing, 10000));

    EXPECT_GT(2000u, Elapsed([&] {
        manager_->Stop();
        manager_.reset();
    }));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((Root(letter_) + L"MUSIC\\movie.mp3").c_str()));
}
