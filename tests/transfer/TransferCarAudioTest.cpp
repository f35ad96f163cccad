// The car-audio step with scripted controllers: which songs enter the mood channels, and the
// records that carry the channel files to the player.
#include <algorithm>

#include "library/transfer/CarAudioMoodStep.h"
#include "tests/transfer/CarAudioTestSupport.h"
#include "tests/transfer/TransferTestSupport.h"

namespace {

const wchar_t kChannelFolder[] = L"Tavrel_Automotive\\";

class CarAudioTransferTest : public TransferTest {
protected:
    void SetUpCarAudioUnit() {
        manager_->SetCarAudioAllowed(1);
        mscRoot_.WriteFile(L"Carvell.dat", "");
        mscRoot_.WriteFile(L"capability_00.xml", "x");
        msc_.capability = StandardCapability();
        msc_.findResults = {CDeviceControllerBase::kDeviceFound};
        bool hasFile = false;
        const int state = manager_->CheckDevice(&hasFile);
        ASSERT_EQ(int(CTransferManager::kStateFound), state);
        ASSERT_EQ(CTransferManager::kCarAudioUnit, manager_->GetMode());
        ASSERT_EQ(S_OK, manager_->Start());
    }
    std::unique_ptr<CTNContent> Song(uint32_t kind, uint32_t fileType, const std::wstring& relative,
                                     const std::string& bytes) {
        auto content = Content(kind, relative, bytes);
        content->fileType = fileType;
        return content;
    }
    // The writes of channel files since the last call.
    std::vector<CFakeDeviceController::WrittenRecord> TakeChannelWrites() {
        std::vector<CFakeDeviceController::WrittenRecord> channelWrites;
        for (const auto& record : msc_.writtenRecords) {
            if (record.relativePath.compare(0, wcslen(kChannelFolder), kChannelFolder) == 0) {
                channelWrites.push_back(record);
            }
        }
        msc_.writes.clear();
        msc_.writtenRecords.clear();
        return channelWrites;
    }
};

TEST_F(CarAudioTransferTest, SongsEnterTheirChannelsAndTheFilesFollowAsReplacingHiddenRecords) {
    SetUpCarAudioUnit();
    Push(Song(CTNContent::kSong, 0, L"a.mp3", SongWithMoodData(MoodClassPayload())));
    ASSERT_FALSE(msc_.writes.empty());
    EXPECT_EQ(manager_->GetMusicFolder() + L"a.mp3", msc_.writes.front());
    const auto writes = TakeChannelWrites();
    ASSERT_FALSE(writes.empty());
    for (const auto& record : writes) {
        SCOPED_TRACE(std::string(record.relativePath.begin(), record.relativePath.end()));
        EXPECT_EQ(CCarAudioMoodStep::kChannelFileKind, record.kind);
        EXPECT_EQ(1, record.replaceExisting);
    }
    // The channel files reach the player under the same names as in the data folder, once each.
    std::vector<std::wstring> written;
    for (const auto& record : writes) written.push_back(record.relativePath);
    std::vector<std::wstring> unique = written;
    std::sort(unique.begin(), unique.end());
    EXPECT_EQ(written.size(), size_t(std::unique(unique.begin(), unique.end()) - unique.begin()));
    for (const std::wstring& relative : written) {
        std::string local, player;
        ASSERT_TRUE(ReadWholeFile(data_.Path() + L"\\" + relative, &local));
        ASSERT_TRUE(ReadWholeFile(msc_.Full(relative), &player));
        EXPECT_EQ(local, player);
    }
    // The song's payload placed it in a mood class: the class channel files exist.
    EXPECT_NE(written.end(), std::find(written.begin(), written.end(), L"Tavrel_Automotive\\HVC\\CID000.ZEP"));
    std::string everyTrack;
    ASSERT_TRUE(ReadWholeFile(msc_.Full(L"Tavrel_Automotive\\HVC\\CID005.ZEP"), &everyTrack));
    EXPECT_NE(std::string::npos, everyTrack.find(ChannelEntryBytes(L"\\" + manager_->GetMusicFolder() + L"a.mp3")));
}

TEST_F(CarAudioTransferTest, ASongWithoutMoodDataStillEntersTheChannels) {
    SetUpCarAudioUnit();
    Push(Song(CTNContent::kSong, 0, L"plain.mp3", "no tag at all"));
    const auto writes = TakeChannelWrites();
    std::vector<std::wstring> written;
    for (const auto& record : writes) written.push_back(record.relativePath);
    EXPECT_NE(written.end(), std::find(written.begin(), written.end(), L"Tavrel_Automotive\\HVC\\CID005.ZEP"));
    // No class: no class channel file.
    EXPECT_EQ(written.end(), std::find(written.begin(), written.end(), L"Tavrel_Automotive\\HVC\\CID000.ZEP"));
    std::string everyTrack;
    ASSERT_TRUE(ReadWholeFile(msc_.Full(L"Tavrel_Automotive\\HVC\\CID005.ZEP"), &everyTrack));
    EXPECT_NE(std::string::npos,
              everyTrack.find(ChannelEntryBytes(L"\\" + manager_->GetMusicFolder() + L"plain.mp3")));
}

TEST_F(CarAudioTransferTest, OnlySongsAndEpisodesOfTheAudioTypesEnter) {
    SetUpCarAudioUnit();
    struct Case {
        uint32_t kind;
        uint32_t fileType;
        bool enters;
    };
    const Case cases[] = {
        {CTNContent::kSong, 0, true},          {CTNContent::kAudioEpisode, 1, true},
        {CTNContent::kSong, 2, true},          {CTNContent::kSong, 4, true},
        {CTNContent::kSong, 3, false},         {CTNContent::kSong, 5, false},
        {CTNContent::kSong, 6, false},         {CTNContent::kVideo, 4, false},
        {CTNContent::kPicture, 0, false},      {CTNContent::kVideoEpisode, 0, false},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " type " << c.fileType);
        Push(Song(c.kind, c.fileType, L"t" + std::to_wstring(++number) + L".bin", "bytes"));
        EXPECT_EQ(c.enters, !TakeChannelWrites().empty());
    }
}

TEST_F(CarAudioTransferTest, AFailedWriteEntersNothing) {
    SetUpCarAudioUnit();
    msc_.writeResults[L"refused"] = E_FAIL;
    Push(Song(CTNContent::kSong, 0, L"refused.mp3", "bytes"));
    EXPECT_TRUE(TakeChannelWrites().empty());
}

TEST_F(TransferTest, AnOrdinaryPlayerGetsNoChannelFiles) {
    SetUpPlayer(StandardCapability(), /*useMtp=*/false);
    ASSERT_EQ(CTransferManager::kOrdinaryPlayer, manager_->GetMode());
    auto song = Content(CTNContent::kSong, L"a.mp3", SongWithMoodData(MoodClassPayload()));
    Push(std::move(song));
    EXPECT_EQ(std::vector<std::wstring>{manager_->GetMusicFolder() + L"a.mp3"}, msc_.writes);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(data_.Join(L"Tavrel_Automotive\\HVC\\CID005.ZEP").c_str()));
}

TEST(CarAudioMoodStepTest, TrackPathsGetExactlyOneLeadingBackslash) {
    EXPECT_EQ(L"\\MUSIC\\a.mp3", CCarAudioMoodStep::TrackPathOnPlayer(L"MUSIC\\a.mp3"));
    EXPECT_EQ(L"\\MUSIC\\a.mp3", CCarAudioMoodStep::TrackPathOnPlayer(L"\\MUSIC\\a.mp3"));
    EXPECT_EQ(L"\\", CCarAudioMoodStep::TrackPathOnPlayer(L""));
}

TEST(CarAudioMoodStepTest, ChannelFilesKeepTheirPlaceBelowTheDataFolder) {
    const std::wstring data = L"C:\\Users\\me\\Data\\";
    EXPECT_EQ(L"Tavrel_Automotive\\HVM\\MOOD.ZEP",
              CCarAudioMoodStep::PathBelowDataFolder(L"C:\\Users\\me\\Data\\Tavrel_Automotive\\HVM\\MOOD.ZEP", data));
    EXPECT_EQ(L"Tavrel_Automotive\\HVC\\CID001.ZEP",
              CCarAudioMoodStep::PathBelowDataFolder(L"c:\\users\\ME\\data\\Tavrel_Automotive\\HVC\\CID001.ZEP", data));
    EXPECT_EQ(L"X\\f", CCarAudioMoodStep::PathBelowDataFolder(L"C:\\D\\X\\f", L"C:\\D"));
    // A file elsewhere is never sent.
    EXPECT_EQ(L"", CCarAudioMoodStep::PathBelowDataFolder(L"C:\\Other\\MOOD.ZEP", data));
    EXPECT_EQ(L"", CCarAudioMoodStep::PathBelowDataFolder(data, data));
}

}  // namespace
