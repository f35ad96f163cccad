#include "tests/mtp/MtpTestSupport.h"
#include "tests/device/HostileDestinations.h"

#include <oleauto.h>

namespace {

const HRESULT kDiskFull = HRESULT_FROM_WIN32(ERROR_DISK_FULL);

TEST_F(MtpControllerTest, WithoutTheRegisteredClassesNoPlayerIsFound) {
    AttachPlayer(L"dev1");
    ASSERT_EQ(S_OK, standin_.Unregister());
    EXPECT_EQ(0, controller_.FindDevice());
    EXPECT_TRUE(controller_.GetDeviceId().empty());
    EXPECT_EQ(0u, controller_.GetTotalSpace());
}

TEST_F(MtpControllerTest, SearchFollowsPlayersAsTheyComeAndGo) {
    EXPECT_EQ(0, controller_.FindDevice());
    AttachPlayer(L"dev1", 5000000);
    EXPECT_EQ(1, controller_.FindDevice());
    EXPECT_EQ(L"dev1", controller_.GetDeviceId());
    EXPECT_EQ(5000000u, controller_.GetTotalSpace());
    EXPECT_EQ(L"Player dev1\\Internal Storage\\", controller_.GetRootPath());
    EXPECT_EQ(L"Simulated player", controller_.GetVolumeLabel());
    EXPECT_EQ(4, controller_.FindDevice());
    AttachPlayer(L"dev2");
    EXPECT_EQ(3, controller_.FindDevice());
    EXPECT_EQ(L"dev1", controller_.GetDeviceId());
    ASSERT_EQ(S_OK, standin_.Detach(L"dev1"));
    EXPECT_EQ(2, controller_.FindDevice());
    EXPECT_EQ(L"dev2", controller_.GetDeviceId());
    ASSERT_EQ(S_OK, standin_.Detach(L"dev2"));
    EXPECT_EQ(0, controller_.FindDevice());
    EXPECT_TRUE(controller_.GetDeviceId().empty());
    EXPECT_EQ(0u, controller_.GetTotalSpace());
}

TEST_F(MtpControllerTest, PlayerSwappedForAnotherIsReportedAsReplaced) {
    AttachPlayer(L"dev1");
    ASSERT_EQ(1, controller_.FindDevice());
    ASSERT_EQ(S_OK, standin_.Detach(L"dev1"));
    AttachPlayer(L"dev2");
    EXPECT_EQ(2, controller_.FindDevice());
    EXPECT_EQ(L"dev2", controller_.GetDeviceId());
    EXPECT_EQ(L"Player dev2\\Internal Storage\\", controller_.GetRootPath());
}

TEST_F(MtpControllerTest, OnlyMtpDevicesWithTheExactCapabilityNameArePlayers) {
    CScratchFolder camera, upperCase, nested;
    camera.WriteFile(L"capability_00.xml", capability_);
    upperCase.WriteFile(L"CAPABILITY_00.XML", capability_);
    nested.WriteFile(L"SYSTEM\\capability_00.xml", capability_);
    ASSERT_EQ(S_OK, standin_.Attach(L"camera", L"Camera", camera.Path(), 1 << 20, L"PTP: 1.0"));
    ASSERT_EQ(S_OK, standin_.Attach(L"upper", L"Upper", upperCase.Path()));
    ASSERT_EQ(S_OK, standin_.Attach(L"nested", L"Nested", nested.Path()));
    EXPECT_EQ(0, controller_.FindDevice());
    AttachPlayer(L"player");
    EXPECT_EQ(1, controller_.FindDevice());
    EXPECT_EQ(L"player", controller_.GetDeviceId());
}

TEST_F(MtpControllerTest, SetModifiedReopensTheConnectionOnTheNextSearch) {
    AttachPlayer(L"dev1");
    ASSERT_EQ(1, controller_.FindDevice());
    // One player: the search opens it once to test it; a reopen would be the second open.
    standin_.ArmFault(kWpdFaultOpen, 2);
    EXPECT_EQ(4, controller_.FindDevice());
    EXPECT_NE(0u, controller_.GetTotalSpace());
    standin_.ArmFault(kWpdFaultOpen, 2);
    controller_.SetModified();
    EXPECT_EQ(4, controller_.FindDevice());
    EXPECT_EQ(0u, controller_.GetTotalSpace());
    EXPECT_EQ(4, controller_.FindDevice());
    EXPECT_EQ(0u, controller_.GetTotalSpace());
    controller_.SetModified();
    EXPECT_EQ(4, controller_.FindDevice());
    EXPECT_NE(0u, controller_.GetTotalSpace());
}

TEST_F(MtpControllerTest, CapabilityIsReadOnlyWithItsExactSize) {
    AttachPlayer(L"dev1");
    ASSERT_EQ(1, controller_.FindDevice());
    const DWORD size = controller_.GetCapabilityFileSize();
    ASSERT_EQ(capability_.size(), size);
    std::string buffer(size + 1, '\0');
    DWORD smaller = size - 1;
    controller_.ReadCapabilityFile(&buffer[0], &smaller);
    EXPECT_EQ(0u, smaller);
    EXPECT_EQ('\0', buffer[0]);
    DWORD exact = size;
    controller_.ReadCapabilityFile(&buffer[0], &exact);
    EXPECT_EQ(size, exact);
    EXPECT_EQ(capability_, buffer.substr(0, size));
    EXPECT_TRUE(controller_.HasCapabilityFile());
}

TEST_F(MtpControllerTest, SongReadsBackWithEveryPropertyAtItsType) {
    std::wstring folder = AttachPlayer(L"dev1");
    ASSERT_EQ(1, controller_.FindDevice());
    ASSERT_TRUE(controller_.CreateFolder(L"MUSIC\\"));
    EXPECT_EQ(L"MUSIC\\", controller_.GetMediaRootFolder());
    std::string bytes;
    for (int i = 0; i < 700000; ++i) bytes.push_back(static_cast<char>(i * 7 + (i >> 9)));
    auto song = Song(L"song.mp3", bytes);
    song->title = L"Title";
    song->artist = L"Artist";
    song->genre = L"Genre";
    song->album = L"Album";
    song->albumArtist = L"Album Artist";
    song->yearText = L"1999-05";
    song->trackText = L"7/12";
    song->sampleRate = 44100;
    song->audioBitrate = 192000;
    song->channelCount = 2;
    song->duration = 1234567;
    ASSERT_EQ(S_OK, controller_.WriteContent(L"MUSIC\\Artist\\song.mp3", song.get()));

    std::wstring id = ObjectAt(L"MUSIC\\Artist\\song.mp3");
    ASSERT_FALSE(id.empty());
    EXPECT_EQ(bytes, Data(id));
    CScopedComPtr<IPortableDeviceValues> values = Properties(id);
    struct Expected {
        PROPERTYKEY key;
        VARTYPE type;
    };
    const Expected types[] = {
        {WPD_MEDIA_TITLE, VT_LPWSTR},      {WPD_MEDIA_ARTIST, VT_LPWSTR},        {WPD_MEDIA_GENRE, VT_LPWSTR},
        {WPD_MUSIC_ALBUM, VT_LPWSTR},      {WPD_MEDIA_ALBUM_ARTIST, VT_LPWSTR},  {WPD_MEDIA_RELEASE_DATE, VT_DATE},
        {WPD_MUSIC_TRACK, VT_I4},          {WPD_MEDIA_SAMPLE_RATE, VT_I4},       {WPD_AUDIO_BITRATE, VT_I4},
        {WPD_AUDIO_CHANNEL_COUNT, VT_R4},  {WPD_MEDIA_DURATION, VT_UI8},         {WPD_OBJECT_SIZE, VT_UI8},
        {WPD_OBJECT_FORMAT, VT_CLSID},     {WPD_OBJECT_CONTENT_TYPE, VT_CLSID},  {WPD_OBJECT_DATE_CREATED, VT_DATE},
        {WPD_OBJECT_DATE_MODIFIED, VT_DATE},
    };
    for (const Expected& expected : types) {
        PROPVARIANT value;
        PropVariantInit(&value);
        EXPECT_EQ(S_OK, values->GetValue(expected.key, &value)) << expected.key.pid;
        EXPECT_EQ(expected.type, value.vt) << expected.key.pid;
        PropVariantClear(&value);
    }
    EXPECT_EQ(L"Title", Text(id, WPD_OBJECT_NAME));
    EXPECT_EQ(L"song.mp3", Text(id, WPD_OBJECT_ORIGINAL_FILE_NAME));
    EXPECT_EQ(L"Album Artist", Text(id, WPD_MEDIA_ALBUM_ARTIST));
    LONG track = 0, rate = 0;
    values->GetSignedIntegerValue(WPD_MUSIC_TRACK, &track);
    values->GetSignedIntegerValue(WPD_MEDIA_SAMPLE_RATE, &rate);
    EXPECT_EQ(7, track);
    EXPECT_EQ(44100, rate);
    FLOAT channels = 0;
    values->GetFloatValue(WPD_AUDIO_CHANNEL_COUNT, &channels);
    EXPECT_EQ(2.0f, channels);
    GUID format = GUID_NULL, type = GUID_NULL;
    values->GetGuidValue(WPD_OBJECT_FORMAT, &format);
    values->GetGuidValue(WPD_OBJECT_CONTENT_TYPE, &type);
    EXPECT_TRUE(IsEqualGUID(WPD_OBJECT_FORMAT_MP3, format));
    EXPECT_TRUE(IsEqualGUID(WPD_CONTENT_TYPE_AUDIO, type));
    PROPVARIANT date;
    PropVariantInit(&date);
    values->GetValue(WPD_MEDIA_RELEASE_DATE, &date);
    SYSTEMTIME released = {};
    VariantTimeToSystemTime(date.date, &released);
    EXPECT_EQ(1999, released.wYear);
    EXPECT_EQ(1, released.wMonth);
    EXPECT_EQ(1, released.wDay);
    EXPECT_EQ(0, released.wHour);
    // The new folder went below the existing one.
    EXPECT_EQ(1u, Children(ObjectAt(L"MUSIC")).size());
}

TEST_F(MtpControllerTest, YearTrackAndTitleFallbacks) {
    AttachPlayer(L"dev1");
    ASSERT_EQ(1, controller_.FindDevice());
    struct Case {
        const wchar_t* year;
        const wchar_t* track;
        bool dated;
        LONG expectedTrack;
    };
    const Case cases[] = {
        {L"2003", L"", true, 0},
        {L"A1999", L"x7", false, 0},
        {L"1800", L"12", false, 12},
        {L"", L"03 of 9", false, 3},
    };
    int n = 0;
    for (const Case& c : cases) {
        std::wstring name = L"file" + std::to_wstring(n++) + L".mp3";
        auto song = Song(name, "data");
        song->yearText = c.year;
        song->trackText = c.track;
        ASSERT_EQ(S_OK, controller_.WriteContent(L"MUSIC\\" + name, song.get()));
        std::wstring id = ObjectAt(L"MUSIC\\" + name);
        CScopedComPtr<IPortableDeviceValues> values = Properties(id);
        PROPVARIANT date;
        PropVariantInit(&date);
        EXPECT_EQ(c.dated, SUCCEEDED(values->GetValue(WPD_MEDIA_RELEASE_DATE, &date))) << c.year;
        PropVariantClear(&date);
        LONG track = -1;
        EXPECT_EQ(S_OK, values->GetSignedIntegerValue(WPD_MUSIC_TRACK, &track));
        EXPECT_EQ(c.expectedTrack, track) << c.track;
        EXPECT_EQ(L"file" + std::to_wstring(n - 1), Text(id, WPD_OBJECT_NAME));
    }
}

TEST_F(MtpControllerTest, VideoWithoutMtpFormatIsRefusedBeforeAnyData) {
    AttachPlayer(L"dev1");
    ASSERT_EQ(1, controller_.FindDevice());
    auto video = Song(L"clip.avi", "video");
    video->kind = CTNContent::kVideo;
    video->fileType = 7;
    EXPECT_EQ(E_FAIL, controller_.WriteContent(L"VIDEO\\clip.avi", video.get()));
    EXPECT_TRUE(ObjectAt(L"VIDEO\\clip.avi").empty());
    EXPECT_EQ(0, listener_.progressCalls);
}

TEST_F(MtpControllerTest, ThreeSongPlaylistListsItsMembersInWriteOrderAndIsReplaced) {
    AttachPlayer(L"dev1");
    ASSERT_EQ(1, controller_.FindDevice());
    EXPECT_FALSE(controller_.PrepareFolder(L"Playlists"));
    for (int round = 0; round < 2; ++round) {
        std::vector<std::wstring> written;
        for (int i = 0; i < 3; ++i) {
            std::wstring name = L"r" + std::to_wstring(round) + L"s" + std::to_wstring(i) + L".mp3";
            auto song = Song(name, "song");
            song->playlistKey = L"key";
            song->playlistName = L"Road: Mix";
            song->playlistMemberCount = 3;
            song->playlistMemberIndex = i;
            ASSERT_EQ(S_OK, controller_.WriteContent(L"MUSIC\\" + name, song.get()));
            written.push_back(ObjectAt(L"MUSIC\\" + name));
            if (round == 0 && i < 2) {
                EXPECT_TRUE(ObjectAt(L"Playlists\\Road_ Mix.pla").empty());
            }
        }
        std::wstring playlist = ObjectAt(L"Playlists\\Road_ Mix.pla");
        ASSERT_FALSE(playlist.empty());
        EXPECT_EQ(1u, Children(ObjectAt(L"Playlists")).size());
        EXPECT_EQ(L"Road_ Mix", Text(playlist, WPD_OBJECT_NAME));
        CScopedComPtr<IPortableDeviceValues> values = Properties(playlist);
        CScopedComPtr<IPortableDevicePropVariantCollection> references;
        ASSERT_EQ(S_OK, values->GetIPortableDevicePropVariantCollectionValue(WPD_OBJECT_REFERENCES, references.Receive()));
        DWORD count = 0;
        references->GetCount(&count);
        ASSERT_EQ(3u, count);
        for (DWORD i = 0; i < count; ++i) {
            PROPVARIANT member;
            PropVariantInit(&member);
            references->GetAt(i, &member);
            EXPECT_EQ(written[i], member.pwszVal);
            PropVariantClear(&member);
        }
        controller_.ClearPending();
    }
}

TEST_F(MtpControllerTest, StoppedUploadLeavesNoObjectAndTheOldOneIntact) {
    AttachPlayer(L"dev1");
    ASSERT_EQ(1, controller_.FindDevice());
    auto original = Song(L"song.mp3", "old contents");
    ASSERT_EQ(S_OK, controller_.WriteContent(L"MUSIC\\song.mp3", original.get()));
    std::wstring oldId = ObjectAt(L"MUSIC\\song.mp3");

    auto replacement = Song(L"new.mp3", std::string(600000, 'n'));
    replacement->replaceExisting = 1;
    listener_.onProgress = [&](uint32_t written, uint32_t) {
        if (written > 0) controller_.SetTransferring(false);
    };
    EXPECT_EQ(1, controller_.WriteContent(L"MUSIC\\song.mp3", replacement.get()));
    std::vector<std::wstring> left = Children(ObjectAt(L"MUSIC"));
    ASSERT_EQ(1u, left.size());
    EXPECT_EQ(oldId, left[0]);
    EXPECT_EQ(L"song.mp3", Text(oldId, WPD_OBJECT_ORIGINAL_FILE_NAME));
    EXPECT_EQ("old contents", Data(oldId));

    // The stop holds until the owner allows writes again.
    listener_.onProgress = nullptr;
    EXPECT_EQ(1, controller_.WriteContent(L"MUSIC\\song.mp3", replacement.get()));
    controller_.SetTransferring(true);
    ASSERT_EQ(S_OK, controller_.WriteContent(L"MUSIC\\song.mp3", replacement.get()));
    left = Children(ObjectAt(L"MUSIC"));
    ASSERT_EQ(1u, left.size());
    EXPECT_NE(oldId, left[0]);
    EXPECT_EQ(std::string(600000, 'n'), Data(left[0]));
}

TEST_F(MtpControllerTest, FailedUploadsReportAndLeaveNothingHalfWritten) {
    AttachPlayer(L"dev1", 1000000);
    ASSERT_EQ(1, controller_.FindDevice());
    const uint64_t freeBefore = controller_.GetFreeSpace();
    auto original = Song(L"keep.mp3", "keep");
    ASSERT_EQ(S_OK, controller_.WriteContent(L"MUSIC\\keep.mp3", original.get()));
    std::wstring keptId = ObjectAt(L"MUSIC\\keep.mp3");

    auto song = Song(L"keep2.mp3", std::string(300000, 'x'));
    song->replaceExisting = 1;
    standin_.ArmFault(kWpdFaultCommit, 1, E_FAIL);
    EXPECT_EQ(E_FAIL, controller_.WriteContent(L"MUSIC\\keep.mp3", song.get()));
    standin_.ArmFault(kWpdFaultWrite, 1, E_UNEXPECTED);
    EXPECT_EQ(E_UNEXPECTED, controller_.WriteContent(L"MUSIC\\keep.mp3", song.get()));
    auto huge = Song(L"huge.mp3", std::string(2000000, 'h'));
    EXPECT_EQ(kDiskFull, controller_.WriteContent(L"MUSIC\\huge.mp3", huge.get()));
    standin_.ArmFault(kWpdFaultDiskFull, 1);
    EXPECT_EQ(kDiskFull, controller_.WriteContent(L"MUSIC\\other.mp3", song.get()));

    std::vector<std::wstring> left = Children(ObjectAt(L"MUSIC"));
    ASSERT_EQ(1u, left.size());
    EXPECT_EQ(keptId, left[0]);
    EXPECT_EQ(L"keep.mp3", Text(keptId, WPD_OBJECT_ORIGINAL_FILE_NAME));
    standin_.ArmFault(kWpdFaultDiskFull, 0);
    EXPECT_EQ(freeBefore - 4, controller_.GetFreeSpace());
}

TEST_F(MtpControllerTest, WritesFollowFoldersRemovedSinceTheLastWrite) {
    AttachPlayer(L"dev1");
    ASSERT_EQ(1, controller_.FindDevice());
    auto first = Song(L"a.mp3", "first");
    ASSERT_EQ(S_OK, controller_.WriteContent(L"MUSIC\\Artist\\a.mp3", first.get()));
    const std::wstring oldMusic = ObjectAt(L"MUSIC");
    ASSERT_EQ(S_OK, DeleteElsewhere(oldMusic));

    // The folders the earlier write went to are gone: the next write makes them again.
    auto second = Song(L"b.mp3", "second");
    ASSERT_EQ(S_OK, controller_.WriteContent(L"MUSIC\\Artist\\b.mp3", second.get()));
    const std::wstring newMusic = ObjectAt(L"MUSIC");
    EXPECT_NE(oldMusic, newMusic);
    EXPECT_EQ("second", Data(ObjectAt(L"MUSIC\\Artist\\b.mp3")));
    EXPECT_EQ(L"", ObjectAt(L"MUSIC\\Artist\\a.mp3"));

    EXPECT_EQ(1u, Children(newMusic).size());

    // So do folders the controller deleted itself.
    const std::wstring artist = ObjectAt(L"MUSIC\\Artist");
    ASSERT_TRUE(controller_.DeleteContent(ObjectAt(L"MUSIC\\Artist\\b.mp3")));
    ASSERT_TRUE(controller_.DeleteContent(artist));
    auto third = Song(L"c.mp3", "third");
    ASSERT_EQ(S_OK, controller_.WriteContent(L"MUSIC\\Artist\\c.mp3", third.get()));
    EXPECT_NE(artist, ObjectAt(L"MUSIC\\Artist"));
    EXPECT_EQ("third", Data(ObjectAt(L"MUSIC\\Artist\\c.mp3")));
}

TEST_F(MtpControllerTest, FreeSpaceFollowsWritesAndDeletes) {
    AttachPlayer(L"dev1", 1000000);
    ASSERT_EQ(1, controller_.FindDevice());
    const uint64_t start = controller_.GetFreeSpace();
    EXPECT_EQ(1000000u - capability_.size(), start);
    auto song = Song(L"a.mp3", std::string(1000, 'a'));
    ASSERT_EQ(S_OK, controller_.WriteContent(L"MUSIC\\a.mp3", song.get()));
    EXPECT_EQ(start - 1000, controller_.GetFreeSpace());
    EXPECT_TRUE(controller_.DeleteContent(ObjectAt(L"MUSIC\\a.mp3")));
    EXPECT_EQ(start, controller_.GetFreeSpace());
    EXPECT_EQ(1000000u, controller_.GetTotalSpace());
    EXPECT_FALSE(controller_.DeleteContent(L""));
}

TEST_F(MtpControllerTest, FolderTreeCountsEveryNodeAndDeletionFollows) {
    AttachPlayer(L"dev1");
    ASSERT_EQ(1, controller_.FindDevice());
    int count = -1;
    EXPECT_EQ(nullptr, controller_.BuildFolderTree(0, &count, true));
    EXPECT_EQ(1, listener_.trees);
    EXPECT_EQ(nullptr, listener_.lastTree);
    ASSERT_TRUE(controller_.CreateFolder(L"MUSIC\\"));
    EXPECT_TRUE(controller_.CheckFolder1());
    for (const wchar_t* path : {L"MUSIC\\A\\x.mp3", L"MUSIC\\A\\y.mp3", L"MUSIC\\z.mp3"}) {
        auto song = Song(L"s.mp3", "12345");
        song->relativePath = path;
        ASSERT_EQ(S_OK, controller_.WriteContent(path, song.get()));
    }
    EXPECT_FALSE(controller_.CheckFolder1());
    controller_.BeginTreeOperation();
    std::unique_ptr<CQBTreeNode> tree(controller_.BuildFolderTree(0, &count, true));
    controller_.EndTreeOperation();
    ASSERT_NE(nullptr, tree);
    EXPECT_EQ(5, count);
    EXPECT_EQ(tree.get(), listener_.lastTree);
    EXPECT_EQ(L"MUSIC", tree->GetName());
    ASSERT_EQ(2u, tree->GetChildCount());
    CQBTreeNode* folderA = tree->GetChildren()[0];
    EXPECT_FALSE(folderA->IsFile());
    ASSERT_EQ(2u, folderA->GetChildCount());
    EXPECT_EQ(5u, folderA->GetChildren()[0]->GetSize());

    EXPECT_FALSE(controller_.DeleteContent(folderA->GetPath()));  // not empty: no recursion
    for (CQBTreeNode* file : folderA->GetChildren()) EXPECT_TRUE(controller_.DeleteContent(file->GetPath()));
    EXPECT_TRUE(controller_.DeleteContent(folderA->GetPath()));
    EXPECT_TRUE(ObjectAt(L"MUSIC\\A").empty());
    EXPECT_FALSE(ObjectAt(L"MUSIC\\z.mp3").empty());
}

TEST_F(MtpControllerTest, NameLookupsAreExactExceptForTheDeviceFolders) {
    std::wstring folder = AttachPlayer(L"dev1");
    ASSERT_EQ(1, controller_.FindDevice());
    ASSERT_TRUE(controller_.CreateFolder(L"Music\\"));
    ASSERT_TRUE(controller_.CreateFolder(L"MUSIC\\"));
    EXPECT_EQ(L"Music\\", controller_.GetMediaRootFolder());
    EXPECT_FALSE(ObjectAt(L"Music").empty());
    EXPECT_TRUE(ObjectAt(L"MUSIC").empty());
    EXPECT_TRUE(ObjectAt(L"\\Music").empty());
    EXPECT_TRUE(ObjectAt(L"CAPABILITY_00.XML").empty());
    EXPECT_FALSE(controller_.SetKind1Folder(L"VIDEO\\"));
    EXPECT_TRUE(controller_.SetKind2Folder(L"music\\"));
}

TEST_F(MtpControllerTest, EnumerationReportsFolderSizesAndPlaylistCount) {
    AttachPlayer(L"dev1", 1000000);
    ASSERT_EQ(1, controller_.FindDevice());
    ASSERT_TRUE(controller_.CreateFolder(L"MUSIC\\"));
    auto song = Song(L"a.mp3", std::string(300, 'a'));
    song->playlistKey = L"k";
    song->playlistName = L"One";
    song->playlistMemberCount = 1;
    ASSERT_EQ(S_OK, controller_.WriteContent(L"MUSIC\\Sub\\a.mp3", song.get()));
    controller_.EnumerateContents(false);
    EXPECT_EQ(0, listener_.enumerations);
    controller_.BeginEnumeration();
    controller_.EnumerateContents(false);
    controller_.EndEnumeration();
    ASSERT_EQ(1, listener_.enumerations);
    EXPECT_EQ(300u, listener_.enumerated[0]);
    EXPECT_EQ(0u, listener_.enumerated[1]);
    EXPECT_EQ(1u, listener_.enumerated[4]);
    EXPECT_EQ(controller_.GetFreeSpace(), listener_.enumerated[5]);
    EXPECT_EQ(1000000u, listener_.enumerated[6]);
}

TEST_F(MtpControllerTest, RegistrationToggledTwiceLeavesNoMarkerAndNoCarAudioFolder) {
    AttachPlayer(L"dev1");
    ASSERT_EQ(1, controller_.FindDevice());
    CScratchFolder local;
    controller_.SetLocalDataFolder(local.Path());
    bool registered = false;
    ASSERT_EQ(S_OK, controller_.ToggleRegistration(&registered));
    EXPECT_TRUE(registered);
    std::wstring marker = ObjectAt(L"Carvell.dat");
    ASSERT_FALSE(marker.empty());
    PROPVARIANT hidden;
    PropVariantInit(&hidden);
    Properties(marker)->GetValue(WPD_OBJECT_ISHIDDEN, &hidden);
    EXPECT_EQ(VT_BOOL, hidden.vt);
    EXPECT_FALSE(ObjectAt(L"Tavrel_Automotive\\HVC").empty());
    EXPECT_FALSE(ObjectAt(L"Tavrel_Automotive\\HVM").empty());
    EXPECT_EQ(0, listener_.progressCalls);

    ASSERT_EQ(S_OK, controller_.ToggleRegistration(&registered));
    EXPECT_FALSE(registered);
    EXPECT_TRUE(ObjectAt(L"Carvell.dat").empty());
    EXPECT_TRUE(ObjectAt(L"Tavrel_Automotive").empty());
}

TEST_F(MtpControllerTest, CarAudioFilesCopyToTheLocalDataFolder) {
    std::wstring folder = AttachPlayer(L"dev1");
    CScratchFolder playerFiles;
    std::wstring player = players_.back()->Path();
    players_.back()->WriteFile(L"Tavrel_Automotive\\HVC\\CID001.ZEP", "channel");
    players_.back()->WriteFile(L"Tavrel_Automotive\\HVC\\notes.txt", "other");
    players_.back()->WriteFile(L"Tavrel_Automotive\\HVM\\MOOD03.dat", "mood");
    standin_.Reset();
    ASSERT_EQ(S_OK, standin_.Attach(L"dev1", L"Player", player));
    ASSERT_EQ(1, controller_.FindDevice());
    CScratchFolder local;
    controller_.SetLocalDataFolder(local.Path());
    ASSERT_TRUE(controller_.CreateHiddenFolder(L"Tavrel_Automotive\\"));
    controller_.CopyFolderTree();
    std::string channel, mood;
    EXPECT_TRUE(ReadWholeFile(local.Join(L"Tavrel_Automotive\\HVC\\CID001.ZEP"), &channel));
    EXPECT_TRUE(ReadWholeFile(local.Join(L"Tavrel_Automotive\\HVM\\MOOD03.dat"), &mood));
    EXPECT_EQ("channel", channel);
    EXPECT_EQ("mood", mood);
    EXPECT_FALSE(PathExists(local.Path() + L"\\Tavrel_Automotive\\HVC\\notes.txt"));
}

TEST_F(MtpControllerTest, MoodCacheRebuildSkipsPlayerNamesThatClimbOut) {
    AttachPlayer(L"dev1");
    ASSERT_EQ(1, controller_.FindDevice());
    ASSERT_TRUE(controller_.CreateFolder(L"MUSIC\\"));
    for (const wchar_t* name : {L"plain.mp3", L"climb.mp3", L"device.mp3"}) {
        auto song = Song(name, "song");
        ASSERT_EQ(S_OK, controller_.WriteContent(std::wstring(L"MUSIC\\Album\\") + name, song.get()));
    }
    auto folderSong = Song(L"inside.mp3", "below a climbing folder");
    ASSERT_EQ(S_OK, controller_.WriteContent(L"MUSIC\\Up\\inside.mp3", folderSong.get()));
    // Another program gives the objects names no file system would hold.
    ASSERT_EQ(S_OK, RenameElsewhere(ObjectAt(L"MUSIC\\Album\\climb.mp3"), L"..\\..\\..\\..\\escaped.mp3"));
    ASSERT_EQ(S_OK, RenameElsewhere(ObjectAt(L"MUSIC\\Album\\device.mp3"), L"NUL.mp3"));
    ASSERT_EQ(S_OK, RenameElsewhere(ObjectAt(L"MUSIC\\Up"), L".."));

    controller_.BeginTreeOperation();
    std::unique_ptr<CQBTreeNode> tree(controller_.BuildFolderTree(0, nullptr, false));
    controller_.EndTreeOperation();
    ASSERT_NE(nullptr, tree);

    CScratchFolder outer;
    const std::wstring local = outer.Join(L"data\\user");
    controller_.SetLocalDataFolder(local);
    controller_.ResetCancel();
    ASSERT_TRUE(controller_.RebuildMoodCache(tree.get()));

    std::string copied;
    EXPECT_TRUE(ReadWholeFile(local + L"\\HVX_Cache\\MUSIC\\Album\\plain.mp3", &copied));
    EXPECT_EQ("song", copied);
    EXPECT_EQ(1, listener_.moodSteps) << "only the plain name is copied";
    for (const wchar_t* outside : {L"escaped.mp3", L"data\\escaped.mp3", L"data\\user\\escaped.mp3",
                                   L"data\\user\\HVX_Cache\\escaped.mp3", L"data\\user\\HVX_Cache\\inside.mp3",
                                   L"data\\user\\inside.mp3"}) {
        EXPECT_FALSE(PathExists(outer.Join(outside))) << testing::PrintToString(std::wstring(outside));
    }
    WIN32_FIND_DATAW entry = {};
    HANDLE find = FindFirstFileW((outer.Path() + L"\\*").c_str(), &entry);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    std::vector<std::wstring> top;
    do {
        if (wcscmp(entry.cFileName, L".") != 0 && wcscmp(entry.cFileName, L"..") != 0) top.push_back(entry.cFileName);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    EXPECT_EQ(std::vector<std::wstring>{L"data"}, top);
}

TEST_F(MtpControllerTest, HostileDestinationsAreRefusedAndNothingOnThePlayerChanges) {
    AttachPlayer(L"dev1");
    ASSERT_EQ(1, controller_.FindDevice());
    auto existing = Song(L"song.mp3", "previous");
    ASSERT_EQ(S_OK, controller_.WriteContent(L"MUSIC\\song.mp3", existing.get()));
    const int progressBefore = listener_.progressCalls;
    const std::wstring storage = Children(WPD_DEVICE_OBJECT_ID).at(0);
    // Every object below the storage with its name and data.
    auto listing = [&] {
        std::vector<std::wstring> names;
        std::vector<std::wstring> pending{storage};
        while (!pending.empty()) {
            const std::wstring id = pending.back();
            pending.pop_back();
            for (const std::wstring& child : Children(id)) {
                const std::string data = Data(child);
                names.push_back(Text(child, WPD_OBJECT_ORIGINAL_FILE_NAME) + L"=" +
                                std::wstring(data.begin(), data.end()));
                pending.push_back(child);
            }
        }
        return names;
    };
    const std::vector<std::wstring> before = listing();
    for (const std::wstring& destination : HostileDestinations()) {
        SCOPED_TRACE(testing::PrintToString(destination));
        for (bool replace : {false, true}) {
            auto song = Song(L"hostile.mp3", "abc");
            song->replaceExisting = replace ? 1 : 0;
            EXPECT_EQ(E_INVALIDARG, controller_.WriteContent(destination, song.get()));
        }
        EXPECT_EQ(before, listing());
    }
    EXPECT_EQ(progressBefore, listener_.progressCalls);
}

TEST_F(MtpControllerTest, PlaylistsNamedLikeDevicesGetAPlainName) {
    AttachPlayer(L"dev1");
    ASSERT_EQ(1, controller_.FindDevice());
    auto song = Song(L"a.mp3", "song");
    song->playlistKey = L"key";
    song->playlistName = L"CON";
    song->playlistMemberCount = 1;
    ASSERT_EQ(S_OK, controller_.WriteContent(L"MUSIC\\a.mp3", song.get()));
    EXPECT_TRUE(ObjectAt(L"Playlists\\CON.pla").empty());
    EXPECT_FALSE(ObjectAt(L"Playlists\\_CON.pla").empty());
}

TEST_F(MtpControllerTest, AStopBeforeTheWriteStartsHoldsUntilWritesAreAllowedAgain) {
    AttachPlayer(L"dev1");
    ASSERT_EQ(1, controller_.FindDevice());
    auto existing = Song(L"song.mp3", "previous");
    ASSERT_EQ(S_OK, controller_.WriteContent(L"MUSIC\\song.mp3", existing.get()));
    const std::wstring existingId = ObjectAt(L"MUSIC\\song.mp3");
    const int progressBefore = listener_.progressCalls;

    // The owner's cancel came after it decided to write and before the controller was called.
    controller_.SetTransferring(false);
    struct Case {
        const wchar_t* destination;
        bool replace;
        const char* bytes;
    };
    for (const Case& c : {Case{L"MUSIC\\song.mp3", false, "new"}, Case{L"MUSIC\\song.mp3", true, "new"},
                          Case{L"MUSIC\\song.mp3", true, ""}, Case{L"NEW\\Deep\\song.mp3", false, "new"}}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.destination)));
        auto song = Song(L"new.mp3", c.bytes);
        song->replaceExisting = c.replace ? 1 : 0;
        EXPECT_EQ(CDeviceControllerBase::kWriteStopped, controller_.WriteContent(c.destination, song.get()));
    }
    EXPECT_EQ(L"", ObjectAt(L"NEW")) << "the folder walk made nothing";
    EXPECT_EQ(std::vector<std::wstring>{existingId}, Children(ObjectAt(L"MUSIC")));
    EXPECT_EQ("previous", Data(existingId));
    EXPECT_EQ(L"song.mp3", Text(existingId, WPD_OBJECT_ORIGINAL_FILE_NAME));
    EXPECT_EQ(progressBefore, listener_.progressCalls);

    controller_.SetTransferring(true);
    auto next = Song(L"next.mp3", "next");
    ASSERT_EQ(S_OK, controller_.WriteContent(L"NEW\\Deep\\next.mp3", next.get()));
    EXPECT_EQ("next", Data(ObjectAt(L"NEW\\Deep\\next.mp3")));
}

TEST_F(MtpControllerTest, EveryWayAPlayerSaysFullBecomesDiskFull) {
    AttachPlayer(L"dev1");
    ASSERT_EQ(1, controller_.FindDevice());
    for (HRESULT full : {STG_E_MEDIUMFULL, HRESULT_FROM_WIN32(ERROR_HANDLE_DISK_FULL), kDiskFull}) {
        SCOPED_TRACE(full);
        auto song = Song(L"song.mp3", std::string(300000, 's'));
        standin_.ArmFault(kWpdFaultWrite, 2, full);
        EXPECT_EQ(kDiskFull, controller_.WriteContent(L"MUSIC\\song.mp3", song.get()));
        EXPECT_EQ(L"", ObjectAt(L"MUSIC\\song.mp3"));
    }
}

TEST_F(MtpControllerTest, AFolderNamedLikeTheTargetIsNeverRenamedAside) {
    AttachPlayer(L"dev1");
    ASSERT_EQ(1, controller_.FindDevice());
    auto inside = Song(L"a.mp3", "a");
    ASSERT_EQ(S_OK, controller_.WriteContent(L"MUSIC\\Album\\a.mp3", inside.get()));
    const std::wstring album = ObjectAt(L"MUSIC\\Album");
    auto song = Song(L"new.mp3", "new");
    song->replaceExisting = 1;
    song->relativePath.clear();
    EXPECT_EQ(E_FAIL, controller_.WriteContent(L"MUSIC\\Album", song.get()));
    EXPECT_EQ(L"Album", Text(album, WPD_OBJECT_ORIGINAL_FILE_NAME));
    EXPECT_EQ("a", Data(ObjectAt(L"MUSIC\\Album\\a.mp3")));
    EXPECT_EQ(std::vector<std::wstring>{album}, Children(ObjectAt(L"MUSIC")));
}

TEST_F(MtpControllerTest, WritesDoNotFollowFoldersRenamedSinceTheLastWrite) {
    AttachPlayer(L"dev1");
    ASSERT_EQ(1, controller_.FindDevice());
    auto first = Song(L"a.mp3", "first");
    ASSERT_EQ(S_OK, controller_.WriteContent(L"MUSIC\\Artist\\a.mp3", first.get()));
    const std::wstring artist = ObjectAt(L"MUSIC\\Artist");
    const std::wstring music = ObjectAt(L"MUSIC");
    struct Case {
        const wchar_t* what;
        std::wstring renamed;
        const wchar_t* name;
        const wchar_t* written;
    };
    // The leaf folder renamed, then its parent.
    for (const Case& c : {Case{L"leaf", artist, L"Renamed", L"MUSIC\\Artist\\b.mp3"},
                          Case{L"parent", music, L"OTHER", L"MUSIC\\Renamed\\c.mp3"}}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.what)));
        ASSERT_EQ(S_OK, RenameElsewhere(c.renamed, c.name));
        auto song = Song(L"s.mp3", "second");
        song->relativePath = c.written;
        ASSERT_EQ(S_OK, controller_.WriteContent(c.written, song.get()));
        EXPECT_EQ("second", Data(ObjectAt(c.written)));
    }
    // Nothing new went into the renamed folders: the writes made their folders again.
    EXPECT_EQ(1u, Children(artist).size());
    EXPECT_EQ(2u, Children(music).size()) << "the renamed folder and the leaf made again";
    EXPECT_NE(music, ObjectAt(L"MUSIC"));
}

}  // namespace
