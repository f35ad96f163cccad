#pragma once
// Sync presets: named sets of well-known source folders per content kind, resolved against what
// exists on this PC, and stored per player.
//
//   music    0 iTunes, 1 the maker's other media applications, 2 My Music, 3 own list, 4 automatic
//   movies   5 My Videos, 6 own list, 7 automatic
//   podcasts 8 iTunes podcasts, 9 RSS media and My Podcasts, 10 own list, 11 automatic

#include <string>
#include <vector>

// The source folders the presets draw on; an empty path never exists.
struct CSyncPresetFolders {
    std::wstring iTunesMusic;       // the older layout
    std::wstring iTunesMediaMusic;  // the iTunes Media layout
    std::wstring jukebox;
    std::wstring mediaPlayer;
    std::wstring operatorApp;
    std::wstring myMusic;
    std::wstring myVideos;
    // "Podcast", "Podcasts" and the Russian word, first of the older layout, then of iTunes Media.
    std::wstring iTunesPodcasts[6];
    std::wstring myMusicRss;
    std::wstring myVideosRss;
    std::wstring myPodcasts;

    // The folders of this user on this PC.
    static CSyncPresetFolders FromSystem();
};

enum : int {
    kPresetITunesMusic = 0,
    kPresetMediaApps = 1,
    kPresetMyMusic = 2,
    kPresetOwnMusic = 3,
    kPresetAutoMusic = 4,
    kPresetMyVideos = 5,
    kPresetOwnMovie = 6,
    kPresetAutoMovie = 7,
    kPresetITunesPodcast = 8,
    kPresetRssPodcast = 9,
    kPresetOwnPodcast = 10,
    kPresetAutoPodcast = 11,
};

// The existing folders of a concrete preset (0, 1, 2, 5, 8, 9) in table order; none for the own
// lists and the automatic values.
void BuildPresetFolderList(int preset, std::vector<std::wstring>* folders);
void BuildPresetFolderList(int preset, const CSyncPresetFolders& sources, std::vector<std::wstring>* folders);

// A concrete preset without folders becomes the kind's own list; an automatic one is resolved.
// A changed or resolved value is stored as the kind's preset of the current player.
int ResolveSyncPreset(int preset);
int ResolveSyncPreset(int preset, const CSyncPresetFolders& sources);
// The stored preset of the kind, resolved (and stored) when it is automatic.
int GetEffectiveSyncPreset(int kind);
int GetEffectiveSyncPreset(int kind, const CSyncPresetFolders& sources);

// The preset's display string id; -1 for the automatic values.
int GetSyncPresetName(int preset);
int GetSyncPresetName(int preset, bool vistaOrLater);

// 3, 6 or 10.
bool IsOwnListPreset(int preset);
// The content kind (0 music, 2 movies, 3 podcasts) of a preset; -1 above 11.
int GetPresetKind(int preset);
int GetOwnListPreset(int kind);
