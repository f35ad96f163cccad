#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/dialogs/SyncPresets.h"
#include "library/util/FileSystem.h"
#include "library/util/Settings.h"
#include "tests/app/dialogs/DialogTestSupport.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// Every source folder lies in a scratch folder; a test makes only the ones it needs exist.
class SyncPresetsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(player_.IsActive());
        ASSERT_FALSE(root_.Path().empty());
        sources_.iTunesMusic = Under(L"iTunes\\iTunes Music");
        sources_.iTunesMediaMusic = Under(L"iTunes\\iTunes Media\\Music");
        sources_.jukebox = Under(L"Jukebox");
        sources_.mediaPlayer = Under(L"MediaPlayer");
        sources_.operatorApp = Under(L"Operator");
        sources_.myMusic = Under(L"My Music");
        sources_.myVideos = Under(L"My Videos");
        // Not below the music folders, which must not come into being with them.
        const wchar_t* podcasts[] = {L"Old\\Podcast",   L"Old\\Podcasts",   L"Old\\Ru",
                                     L"Media\\Podcast", L"Media\\Podcasts", L"Media\\Ru"};
        for (int i = 0; i < 6; ++i) sources_.iTunesPodcasts[i] = Under(podcasts[i]);
        sources_.myMusicRss = Under(L"My Music\\RSS Media");
        sources_.myVideosRss = Under(L"My Videos\\RSS Media");
        sources_.myPodcasts = Under(L"My Documents\\My Podcasts");
    }

    std::wstring Under(const wchar_t* relative) const { return root_.Join(relative); }
    void Make(const std::wstring& folder) const { ASSERT_TRUE(CreateFolderTree(folder)) << folder.c_str(); }
    static DWORD Stored(int kind) { return ReadSyncPreset(kind); }

    CScratchPlayer player_;
    CScratchFolder root_;
    CSyncPresetFolders sources_;
};

}  // namespace

TEST_F(SyncPresetsTest, PresetZeroWithoutITunesBecomesTheOwnListAndIsStored) {
    Make(sources_.myMusic);
    EXPECT_EQ(ResolveSyncPreset(0, sources_), 3);
    EXPECT_EQ(Stored(0), 3u);
}

TEST_F(SyncPresetsTest, ConcretePresetsWithFoldersStayAndAreStored) {
    Make(sources_.iTunesMediaMusic);
    Make(sources_.myVideos);
    Make(sources_.myPodcasts);
    EXPECT_EQ(ResolveSyncPreset(0, sources_), 0);
    EXPECT_EQ(Stored(0), 0u);
    EXPECT_EQ(ResolveSyncPreset(5, sources_), 5);
    EXPECT_EQ(Stored(2), 5u);
    EXPECT_EQ(ResolveSyncPreset(9, sources_), 9);
    EXPECT_EQ(Stored(3), 9u);
    EXPECT_EQ(ResolveSyncPreset(8, sources_), 10);
    EXPECT_EQ(Stored(3), 10u);
}

TEST_F(SyncPresetsTest, OwnListsAndValuesAboveElevenAreReturnedUnstored) {
    for (int preset : {3, 6, 10, 12, 99}) {
        EXPECT_EQ(ResolveSyncPreset(preset, sources_), preset);
    }
    EXPECT_EQ(Stored(0), 4u);
    EXPECT_EQ(Stored(2), 7u);
    EXPECT_EQ(Stored(3), 11u);
}

TEST_F(SyncPresetsTest, AutomaticMusicFollowsItsOrder) {
    EXPECT_EQ(ResolveSyncPreset(4, sources_), 3);
    Make(sources_.operatorApp);
    EXPECT_EQ(ResolveSyncPreset(4, sources_), 1);
    // My Music wins over the iTunes Media layout: only the older layout counts here.
    Make(sources_.iTunesMediaMusic);
    Make(sources_.myMusic);
    EXPECT_EQ(ResolveSyncPreset(4, sources_), 2);
    EXPECT_EQ(Stored(0), 2u);
    Make(sources_.iTunesMusic);
    EXPECT_EQ(ResolveSyncPreset(4, sources_), 0);
    EXPECT_EQ(Stored(0), 0u);
}

TEST_F(SyncPresetsTest, AutomaticMovieAndPodcastFollowTheirOrder) {
    EXPECT_EQ(ResolveSyncPreset(7, sources_), 6);
    EXPECT_EQ(Stored(2), 6u);
    Make(sources_.myVideos);
    EXPECT_EQ(ResolveSyncPreset(7, sources_), 5);

    EXPECT_EQ(ResolveSyncPreset(11, sources_), 10);
    // The iTunes Media podcast folders do not make the automatic choice.
    Make(sources_.iTunesPodcasts[4]);
    EXPECT_EQ(ResolveSyncPreset(11, sources_), 10);
    Make(sources_.myVideosRss);
    EXPECT_EQ(ResolveSyncPreset(11, sources_), 9);
    Make(sources_.iTunesPodcasts[2]);
    EXPECT_EQ(ResolveSyncPreset(11, sources_), 8);
    EXPECT_EQ(Stored(3), 8u);
}

TEST_F(SyncPresetsTest, FolderListsKeepTableOrderAndOnlyExistingFolders) {
    std::vector<std::wstring> folders{L"stale"};
    BuildPresetFolderList(0, sources_, &folders);
    EXPECT_THAT(folders, IsEmpty());
    for (const std::wstring* folder : {&sources_.operatorApp, &sources_.jukebox, &sources_.iTunesMediaMusic,
                                       &sources_.iTunesPodcasts[5], &sources_.iTunesPodcasts[0],
                                       &sources_.myPodcasts, &sources_.myMusicRss}) {
        Make(*folder);
    }
    BuildPresetFolderList(0, sources_, &folders);
    EXPECT_THAT(folders, ElementsAre(sources_.iTunesMediaMusic));
    BuildPresetFolderList(1, sources_, &folders);
    EXPECT_THAT(folders, ElementsAre(sources_.jukebox, sources_.operatorApp));
    BuildPresetFolderList(8, sources_, &folders);
    EXPECT_THAT(folders, ElementsAre(sources_.iTunesPodcasts[0], sources_.iTunesPodcasts[5]));
    BuildPresetFolderList(9, sources_, &folders);
    EXPECT_THAT(folders, ElementsAre(sources_.myMusicRss, sources_.myPodcasts));
    for (int preset : {3, 4, 6, 7, 10, 11, 12}) {
        BuildPresetFolderList(preset, sources_, &folders);
        EXPECT_THAT(folders, IsEmpty()) << preset;
    }
}

TEST_F(SyncPresetsTest, EffectivePresetResolvesOnlyTheAutomaticValue) {
    Make(sources_.myVideos);
    EXPECT_EQ(GetEffectiveSyncPreset(2, sources_), 5);
    EXPECT_EQ(Stored(2), 5u);
    ASSERT_TRUE(WriteSyncPreset(0, 0));
    // A stored concrete preset is taken as it is, even without its folders.
    EXPECT_EQ(GetEffectiveSyncPreset(0, sources_), 0);
    EXPECT_EQ(Stored(0), 0u);
}

TEST(SyncPresetNamesTest, NamesFollowTheTableAndTheWindowsVersion) {
    const struct {
        int preset;
        int older;
        int vista;
    } cases[] = {{0, 210, 210}, {1, 212, 212}, {2, 211, 233}, {3, 215, 215}, {4, -1, -1},  {5, 213, 234},
                 {6, 215, 215}, {7, -1, -1},   {8, 210, 210}, {9, 214, 214}, {10, 215, 215}, {11, -1, -1},
                 {12, -1, -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(GetSyncPresetName(c.preset, false), c.older) << c.preset;
        EXPECT_EQ(GetSyncPresetName(c.preset, true), c.vista) << c.preset;
    }
}
