#include "app/dialogs/SyncPresets.h"

#include <windows.h>

#include "library/util/FileSystem.h"
#include "library/util/Settings.h"
#include "library/util/ShellFolders.h"

namespace {

bool Exists(const std::wstring& path) { return !path.empty() && PathExists(path); }

void AddExisting(std::initializer_list<const std::wstring*> candidates, std::vector<std::wstring>* folders) {
    for (const std::wstring* path : candidates) {
        if (Exists(*path)) folders->push_back(*path);
    }
}

bool AnyExists(std::initializer_list<const std::wstring*> candidates) {
    for (const std::wstring* path : candidates) {
        if (Exists(*path)) return true;
    }
    return false;
}

bool IsWindowsVistaOrLater() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&version)) return true;
#pragma GCC diagnostic pop
    return version.dwMajorVersion >= 6;
}

int ResolveAutomatic(int preset, const CSyncPresetFolders& s) {
    switch (preset) {
        case kPresetAutoMusic:
            if (Exists(s.iTunesMusic)) return kPresetITunesMusic;
            if (Exists(s.myMusic)) return kPresetMyMusic;
            if (AnyExists({&s.jukebox, &s.mediaPlayer, &s.operatorApp})) return kPresetMediaApps;
            return kPresetOwnMusic;
        case kPresetAutoMovie:
            return Exists(s.myVideos) ? kPresetMyVideos : kPresetOwnMovie;
        default:  // kPresetAutoPodcast
            if (AnyExists({&s.iTunesPodcasts[0], &s.iTunesPodcasts[1], &s.iTunesPodcasts[2]})) {
                return kPresetITunesPodcast;
            }
            if (AnyExists({&s.myMusicRss, &s.myVideosRss, &s.myPodcasts})) return kPresetRssPodcast;
            return kPresetOwnPodcast;
    }
}

}  // namespace

CSyncPresetFolders CSyncPresetFolders::FromSystem() {
    CSyncPresetFolders folders;
    folders.iTunesMusic = GetITunesMusicFolder();
    folders.iTunesMediaMusic = GetITunesMediaMusicFolder();
    folders.jukebox = GetDunmarshJukeboxFolder();
    folders.mediaPlayer = GetBrightwellFolder();
    folders.operatorApp = GetMerrowlynFolder();
    folders.myMusic = GetMyMusicFolder();
    folders.myVideos = GetMyVideosFolder();
    folders.iTunesPodcasts[0] = GetITunesMusicPodcastFolder();
    folders.iTunesPodcasts[1] = GetITunesMusicPodcastsFolder();
    folders.iTunesPodcasts[2] = GetITunesMusicPodcastsRuFolder();
    folders.iTunesPodcasts[3] = GetITunesMediaPodcastFolder();
    folders.iTunesPodcasts[4] = GetITunesMediaPodcastsFolder();
    folders.iTunesPodcasts[5] = GetITunesMediaPodcastsRuFolder();
    folders.myMusicRss = GetMyMusicRssMediaFolder();
    folders.myVideosRss = GetMyVideosRssMediaFolder();
    folders.myPodcasts = GetMyPodcastsFolder();
    return folders;
}

void BuildPresetFolderList(int preset, std::vector<std::wstring>* folders) {
    BuildPresetFolderList(preset, CSyncPresetFolders::FromSystem(), folders);
}

void BuildPresetFolderList(int preset, const CSyncPresetFolders& s, std::vector<std::wstring>* folders) {
    folders->clear();
    switch (preset) {
        case kPresetITunesMusic: AddExisting({&s.iTunesMusic, &s.iTunesMediaMusic}, folders); break;
        case kPresetMediaApps: AddExisting({&s.jukebox, &s.mediaPlayer, &s.operatorApp}, folders); break;
        case kPresetMyMusic: AddExisting({&s.myMusic}, folders); break;
        case kPresetMyVideos: AddExisting({&s.myVideos}, folders); break;
        case kPresetITunesPodcast:
            for (const std::wstring& path : s.iTunesPodcasts) AddExisting({&path}, folders);
            break;
        case kPresetRssPodcast: AddExisting({&s.myMusicRss, &s.myVideosRss, &s.myPodcasts}, folders); break;
        default: break;
    }
}

int ResolveSyncPreset(int preset) { return ResolveSyncPreset(preset, CSyncPresetFolders::FromSystem()); }

int ResolveSyncPreset(int preset, const CSyncPresetFolders& sources) {
    if (preset < 0 || preset > kPresetAutoPodcast || IsOwnListPreset(preset)) return preset;
    int resolved = preset;
    if (preset == kPresetAutoMusic || preset == kPresetAutoMovie || preset == kPresetAutoPodcast) {
        resolved = ResolveAutomatic(preset, sources);
    } else {
        std::vector<std::wstring> folders;
        BuildPresetFolderList(preset, sources, &folders);
        if (folders.empty()) resolved = GetOwnListPreset(GetPresetKind(preset));
    }
    WriteSyncPreset(GetPresetKind(preset), static_cast<DWORD>(resolved));
    return resolved;
}

int GetEffectiveSyncPreset(int kind) { return GetEffectiveSyncPreset(kind, CSyncPresetFolders::FromSystem()); }

int GetEffectiveSyncPreset(int kind, const CSyncPresetFolders& sources) {
    const int preset = static_cast<int>(ReadSyncPreset(kind));
    if (preset == kPresetAutoMusic || preset == kPresetAutoMovie || preset == kPresetAutoPodcast) {
        return ResolveSyncPreset(preset, sources);
    }
    return preset;
}

int GetSyncPresetName(int preset) { return GetSyncPresetName(preset, IsWindowsVistaOrLater()); }

int GetSyncPresetName(int preset, bool vistaOrLater) {
    switch (preset) {
        case kPresetITunesMusic: return 210;
        case kPresetMediaApps: return 212;
        case kPresetMyMusic: return vistaOrLater ? 233 : 211;
        case kPresetMyVideos: return vistaOrLater ? 234 : 213;
        case kPresetITunesPodcast: return 210;
        case kPresetRssPodcast: return 214;
        case kPresetOwnMusic:
        case kPresetOwnMovie:
        case kPresetOwnPodcast: return 215;
        default: return -1;
    }
}

bool IsOwnListPreset(int preset) {
    return preset == kPresetOwnMusic || preset == kPresetOwnMovie || preset == kPresetOwnPodcast;
}

int GetPresetKind(int preset) {
    if (preset >= 0 && preset <= kPresetAutoMusic) return 0;
    if (preset >= kPresetMyVideos && preset <= kPresetAutoMovie) return 2;
    if (preset >= kPresetITunesPodcast && preset <= kPresetAutoPodcast) return 3;
    return -1;
}

int GetOwnListPreset(int kind) {
    switch (kind) {
        case 2: return kPresetOwnMovie;
        case 3: return kPresetOwnPodcast;
        default: return kPresetOwnMusic;
    }
}
