#include "tests/contents/CheckTestSupport.h"

int32_t CScriptedProbe::GetAudioFormatAndDuration(const std::wstring&, int32_t, MediaAudioInfo* info) {
    if (audioResult == 0) *info = audio;
    return audioResult;
}

int32_t CScriptedProbe::GetMovieInfo(const std::wstring&, int32_t, MediaVideoInfo* video, MediaAudioInfo* audio) {
    ++movieProbes;
    if (movieResult != 0) return movieResult;
    *video = movieVideo;
    *audio = movieAudio;
    return 0;
}

void CScriptedProbe::ReadTagFields(const std::wstring&, int32_t, MediaTagFields* fields) {
    if (!tagArtist.empty()) (*fields)[kFieldArtist] = tagArtist;
    if (!tagAlbum.empty()) (*fields)[kFieldAlbum] = tagAlbum;
}

bool CProfileCoordinator::FindPlaybackCapability(std::unique_ptr<CTNDevCapability::CPlaybackCapability>& record,
                                                 const std::wstring& extension, int type, int index, int) {
    ++profileQueries;
    lastExtension = extension;
    const std::vector<PlaybackProfileFixture>& profiles = type == CTNDevCapability::kVideo ? videoProfiles : audioProfiles;
    if (index < 0 || size_t(index) >= profiles.size()) return false;
    const PlaybackProfileFixture& profile = profiles[size_t(index)];
    record.reset(new CTNDevCapability::CPlaybackCapability());
    record->extensions.insert(extension);
    for (const std::wstring& codec : profile.codecs) record->codecs.insert(codec);
    if (profile.hasAudio) {
        record->audio.reset(new CTNDevCapability::CAudioCapability());
        if (profile.audioLimit >= 0) record->audio->properties[0] = std::to_wstring(profile.audioLimit);
        record->audio->channels.insert(profile.channels.begin(), profile.channels.end());
        record->audio->samplingRates.insert(profile.sampleRates.begin(), profile.sampleRates.end());
    }
    if (profile.hasVideo) {
        record->video.reset(new CTNDevCapability::CVideoCapability());
        for (size_t id = 0; id < profile.videoLimits.size(); ++id) {
            if (profile.videoLimits[id] >= 0) record->video->properties[int(id)] = std::to_wstring(profile.videoLimits[id]);
        }
    }
    return true;
}

int32_t CProfileCoordinator::GetFrameLayout(const std::wstring&, int32_t* width, int32_t* height) {
    *width = pictureWidth;
    *height = pictureHeight;
    return layoutAnswer;
}

void CScriptedListener::OnSyncFileAdded(int32_t listKind, std::wstring path) {
    CScopedLock scoped(lock);
    syncFiles.emplace_back(listKind, std::move(path));
}

void CheckFixture::SetMovieConvertCaution(int value) {
    if (!registry) registry.reset(new CScratchRegistry());
    HKEY key = nullptr;
    if (RegCreateKeyExW(registry->User(), L"Software\\Tavrel Corporation\\Quillbay", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    if (value < 0) {
        RegDeleteValueW(key, L"MovieConvertCaution");
    } else {
        const DWORD stored = DWORD(value);
        RegSetValueExW(key, L"MovieConvertCaution", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored),
                       sizeof(stored));
    }
    RegCloseKey(key);
}

CheckFixture::CheckFixture() {
    manager.SetCoordinator(&coordinator);
    manager.SetContentProbe(&probe);
    manager.SetNext(&sink);
    manager.Start();
}

CheckFixture::~CheckFixture() {
    manager.Stop();
    manager.SetNext(nullptr);
}

bool CheckFixture::WaitAccounted(DWORD timeoutMs) {
    return WaitFor(
        [this] { return manager.GetAnnouncedCount() == int32_t(sink.Count()) + coordinator.itemsDone.load(); },
        timeoutMs);
}
