#pragma once
// Scripted answers for the content checks: a media probe, a coordinator that knows a player's
// playback profiles and picture sizes, a listener that answers the movie question, and a started
// manager wired to them.

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "library/contents/ContentProbe.h"
#include "tests/contents/ContentsTestSupport.h"
#include "tests/util/UtilTestSupport.h"

class CScriptedProbe : public IContentProbe {
public:
    int32_t HasVideoTrack(const std::wstring&) override { return videoTrack; }
    int32_t HasUnsupportedMp4Audio(const std::wstring&) override { return unsupportedAudio; }
    int32_t GetAudioFormatAndDuration(const std::wstring&, int32_t, MediaAudioInfo* info) override;
    int32_t GetMovieInfo(const std::wstring&, int32_t, MediaVideoInfo* video, MediaAudioInfo* audio) override;
    void ReadTagFields(const std::wstring&, int32_t, MediaTagFields* fields) override;

    int32_t videoTrack = 0;
    int32_t unsupportedAudio = 0;
    int32_t audioResult = 0;
    MediaAudioInfo audio = {128000, 44100, 2, 61000, -1, 0};
    int32_t movieResult = 0;
    MediaVideoInfo movieVideo = {2000000, 30, 320, 240, 0x42};
    MediaAudioInfo movieAudio = {128000, 44100, 2, 90000, 2, 0};
    std::atomic<int> movieProbes{0};
    std::wstring tagArtist;
    std::wstring tagAlbum;
};

// One playback profile: optional audio and video parts with their limits.
struct PlaybackProfileFixture {
    bool hasAudio = true;
    int audioLimit = -1;  // -1: no property
    std::vector<int> channels{1, 2};
    std::vector<int> sampleRates{22050, 44100, 48000};
    bool hasVideo = false;
    std::vector<int> videoLimits;  // by video property id; -1 entries are left out
    std::vector<std::wstring> codecs;
};

class CProfileCoordinator : public CScriptedCoordinator {
public:
    bool FindPlaybackCapability(std::unique_ptr<CTNDevCapability::CPlaybackCapability>& record,
                                const std::wstring& extension, int type, int index, int filter) override;
    int32_t GetFrameLayout(const std::wstring&, int32_t* width, int32_t* height) override;

    std::vector<PlaybackProfileFixture> audioProfiles;
    std::vector<PlaybackProfileFixture> videoProfiles;
    int32_t layoutAnswer = 0;
    int32_t pictureWidth = 0;
    int32_t pictureHeight = 0;
    std::atomic<int> profileQueries{0};
    std::wstring lastExtension;
};

class CScriptedListener : public CContentsManager::IListener {
public:
    void OnContentsProgress() override {}
    void OnPodcastCaution() override { ++podcastCautions; }
    void OnSyncFileAdded(int32_t listKind, std::wstring path) override;
    int32_t OnMovieCaution() override {
        ++movieQuestions;
        return movieAnswer;
    }

    int32_t movieAnswer = 0;
    std::atomic<int> movieQuestions{0};
    std::atomic<int> podcastCautions{0};
    std::vector<std::pair<int32_t, std::wstring>> syncFiles;
    CCriticalSection lock;
};

struct CheckFixture {
    CheckFixture();
    ~CheckFixture();
    bool WaitAccounted(DWORD timeoutMs = 20000);
    // Sets (or with -1 removes) the user's "MovieConvertCaution" setting. The hives are redirected
    // to a scratch tree from the first call on, which also hides the machine's crypto providers.
    void SetMovieConvertCaution(int value);

    std::unique_ptr<CScratchRegistry> registry;
    CProfileCoordinator coordinator;
    CScriptedProbe probe;
    CScriptedListener listener;
    CContentSink sink;
    CContentsManager manager;
};
