#include <gtest/gtest.h>

#include "tests/contents/CheckTestSupport.h"

namespace {

constexpr uint64_t kConversionBit = uint64_t(1) << 35;

void Check(CheckFixture& fixture, CTNContent* content, int32_t* result, bool podcast = false) {
    *result = fixture.manager.CheckMovieFormat(content, true, podcast);
}

PlaybackProfileFixture AudioProfile(int limit, bool withVideo = false) {
    PlaybackProfileFixture profile;
    profile.audioLimit = limit;
    profile.hasVideo = withVideo;
    return profile;
}

TEST(ContentsMovieFormat, PicturesOverFourThousandPixelsAreRefused) {
    struct Case {
        int32_t answer;
        int32_t width;
        int32_t height;
        int32_t result;
        int32_t storedWidth;
        const wchar_t* title;
    };
    const Case cases[] = {
        {1, 4000, 4000, 0, 4000, L"Holiday.2009"},
        {1, 4001, 300, 1, 4001, L"Holiday.2009"},
        {1, 300, 4001, 1, 300, L"Holiday.2009"},
        {1, 0, 5000, 1, 0, L""},
        {0, 9000, 9000, 0, 0, L""},
        {-1, 9000, 9000, 0, 0, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.answer << " " << c.width << "x" << c.height);
        CheckFixture fixture;
        fixture.coordinator.layoutAnswer = c.answer;
        fixture.coordinator.pictureWidth = c.width;
        fixture.coordinator.pictureHeight = c.height;
        CTNContent content(0, CTNContent::kPicture);
        content.sourcePath = L"C:\\Pictures\\Holiday.2009.jpg";
        int32_t result = -1;
        Check(fixture, &content, &result);
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(c.storedWidth, content.width);
        EXPECT_EQ(c.title, content.title);
    }
}

TEST(ContentsMovieFormat, AudioProfilesAreWalkedUntilOneFits) {
    struct Case {
        const char* name;
        std::vector<PlaybackProfileFixture> profiles;
        int32_t bitRate;
        int32_t result;
    };
    PlaybackProfileFixture videoOnly;
    videoOnly.hasAudio = false;
    videoOnly.hasVideo = true;
    const Case cases[] = {
        {"no profiles", {}, 320000, 0},
        {"within the limit", {AudioProfile(320000)}, 320000, 0},
        {"over the limit", {AudioProfile(192000)}, 256000, 1},
        {"second profile fits", {AudioProfile(128000), AudioProfile(320000)}, 256000, 0},
        {"no limit", {AudioProfile(0)}, 999000, 0},
        {"no limit property", {AudioProfile(-1)}, 999000, 0},
        {"profiles without audio are passed over", {videoOnly, videoOnly}, 999000, 0},
        // A profile that also has video means 288000 by 28800.
        {"28800 with video", {AudioProfile(28800, true)}, 256000, 0},
        {"28800 with video, still over", {AudioProfile(28800, true)}, 320000, 1},
        {"28800 alone", {AudioProfile(28800)}, 256000, 1},
        {"a fit after passing over", {AudioProfile(64000), videoOnly, AudioProfile(28800, true)}, 128000, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CheckFixture fixture;
        fixture.coordinator.audioProfiles = c.profiles;
        fixture.probe.audio.bitRate = c.bitRate;
        CTNContent content(0, CTNContent::kSong);
        content.fileType = 0;
        content.sourcePath = L"C:\\m\\Song.MP3";
        int32_t result = -1;
        Check(fixture, &content, &result);
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(L"mp3", fixture.coordinator.lastExtension);
        // The format is kept only for a file that goes.
        EXPECT_EQ(c.result == 0 ? c.bitRate : 0, content.audioBitrate);
        EXPECT_EQ(c.result == 0 ? 44100 : 0, content.sampleRate);
        EXPECT_EQ(c.result == 0 ? 2u : 0u, content.channelCount);
        EXPECT_EQ(c.result == 0 ? 61000u : 0u, content.duration);
    }
}

TEST(ContentsMovieFormat, LosslessMp4AudioAndUnreadableFormats) {
    struct Case {
        const char* name;
        uint32_t code;
        int32_t unsupported;
        int32_t audioResult;
        int32_t result;
        int profileQueries;
    };
    const Case cases[] = {
        {"alac in m4a", 2, 1, 0, 1, 0},
        {"alac in mp4 audio", 4, 1, 0, 1, 0},
        // Refused by the profile walk (64000 is under the file's rate), not by the box.
        {"the box check is for the MP4 family only", 0, 1, 0, 1, 2},
        {"unreadable format compares no profile", 2, 0, -1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CheckFixture fixture;
        fixture.coordinator.audioProfiles = {AudioProfile(64000)};
        fixture.probe.unsupportedAudio = c.unsupported;
        fixture.probe.audioResult = c.audioResult;
        CTNContent content(0, CTNContent::kAudioEpisode);
        content.fileType = c.code;
        content.sourcePath = L"C:\\m\\a.m4a";
        content.duration = 5;
        int32_t result = -1;
        Check(fixture, &content, &result, true);
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(c.profileQueries, fixture.coordinator.profileQueries.load());
        if (c.audioResult != 0) {
            EXPECT_EQ(0u, content.duration);
        }
    }
}

PlaybackProfileFixture VideoProfile(std::vector<std::wstring> codecs, std::vector<int> limits, int audioLimit = 0) {
    PlaybackProfileFixture profile;
    profile.audioLimit = audioLimit;
    profile.hasVideo = true;
    profile.videoLimits = std::move(limits);
    profile.codecs = std::move(codecs);
    return profile;
}

// Limits by video property: bit rate, frame rate, max height, max width, min height, min width.
const std::vector<int> kQvga = {2500000, 30, 240, 320, 96, 128};

// Results as the conversion decision sees them, with bit 35 clear so that a 1 stays 1 and a 3
// goes unconverted (0); the mark tells a 3 from a 0.
TEST(ContentsMovieFormat, VideoProfilesByCodecAndLimits) {
    struct Case {
        const char* name;
        std::vector<PlaybackProfileFixture> profiles;
        MediaVideoInfo video;
        MediaAudioInfo audio;
        uint32_t code;
        int32_t result;
    };
    const MediaVideoInfo fits = {2000000, 30, 320, 240, 0x42};
    const MediaAudioInfo aac = {128000, 44100, 2, 90000, 2, 0};
    const std::vector<std::wstring> avc = {L"AAC_LC", L"AVCBL"};
    const std::vector<std::wstring> mpeg4 = {L"AAC_LC", L"MPEG4SP"};
    const Case cases[] = {
        {"no video profiles", {}, fits, aac, 4, 1},
        {"fits the first", {VideoProfile(avc, kQvga)}, fits, aac, 4, 0},
        {"codec list empty passes the codec walk", {VideoProfile({}, kQvga)}, fits, aac, 4, 0},
        {"codec not listed", {VideoProfile(mpeg4, kQvga)}, fits, aac, 4, 1},
        {"second profile lists the codec", {VideoProfile(mpeg4, kQvga), VideoProfile(avc, kQvga)}, fits, aac, 4, 0},
        {"MPEG-4 simple profile", {VideoProfile(mpeg4, kQvga)}, {2000000, 30, 320, 240, 0x1000001}, aac, 19, 0},
        {"audio not AAC", {VideoProfile(avc, kQvga)}, fits, {128000, 44100, 2, 90000, 5, 0}, 4, 0},
        {"video neither AVC baseline nor MPEG-4 simple", {VideoProfile(avc, kQvga)}, {2000000, 30, 320, 240, 0x4D},
         aac, 4, 0},
        {"a zero value", {VideoProfile(avc, kQvga)}, {2000000, 0, 320, 240, 0x42}, aac, 4, 0},
        {"too wide", {VideoProfile(avc, kQvga)}, {2000000, 30, 640, 240, 0x42}, aac, 4, 1},
        {"too narrow", {VideoProfile(avc, kQvga)}, {2000000, 30, 64, 240, 0x42}, aac, 4, 1},
        {"too high", {VideoProfile(avc, kQvga)}, {2000000, 30, 320, 480, 0x42}, aac, 4, 1},
        {"too low", {VideoProfile(avc, kQvga)}, {2000000, 30, 320, 48, 0x42}, aac, 4, 1},
        {"frame rate over", {VideoProfile(avc, kQvga)}, {2000000, 60, 320, 240, 0x42}, aac, 4, 1},
        // 25000000 means 2500000.
        {"25000000 read as 2500000", {VideoProfile(avc, {25000000, 30, 240, 320, 0, 0})},
         {3000000, 30, 320, 240, 0x42}, aac, 4, 1},
        {"under the read limit", {VideoProfile(avc, {25000000, 30, 240, 320, 0, 0})}, fits, aac, 4, 0},
        {"no limits at all", {VideoProfile(avc, {})}, {90000000, 120, 4000, 3000, 0x42}, aac, 4, 0},
        {"audio 28800 read as 288000", {VideoProfile(avc, kQvga, 28800)}, fits, aac, 4, 0},
        {"audio over its limit", {VideoProfile(avc, kQvga, 96000)}, fits, aac, 4, 1},
        {"channel count not allowed", {VideoProfile(avc, kQvga)}, fits, {128000, 44100, 6, 90000, 2, 0}, 4, 1},
        {"sample rate not allowed", {VideoProfile(avc, kQvga)}, fits, {128000, 32000, 2, 90000, 2, 0}, 4, 1},
        {"a later profile fits", {VideoProfile(avc, {500000, 30, 240, 320, 0, 0}), VideoProfile(avc, kQvga)}, fits,
         aac, 4, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CheckFixture fixture;
        fixture.manager.SetFileTypeMasks(0, 0);
        fixture.coordinator.videoProfiles = c.profiles;
        fixture.probe.movieVideo = c.video;
        fixture.probe.movieAudio = c.audio;
        CTNContent content(0, CTNContent::kVideo);
        content.fileType = c.code;
        content.sourcePath = L"C:\\v\\a.mp4";
        int32_t result = -1;
        Check(fixture, &content, &result);
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(0, content.skip);
    }
}

TEST(ContentsMovieFormat, ProbeValuesAreKeptAfterTheValueWalk) {
    CheckFixture fixture;
    fixture.coordinator.videoProfiles = {VideoProfile({}, kQvga)};
    fixture.probe.movieVideo = {1500000, 25, 320, 176, 0x42};
    fixture.probe.movieAudio = {96000, 48000, 1, 123456, 2, 0};
    fixture.coordinator.videoProfiles[0].channels = {1};
    CTNContent content(0, CTNContent::kVideo);
    content.fileType = 4;
    content.sourcePath = L"C:\\v\\a.mp4";
    int32_t result = -1;
    Check(fixture, &content, &result);
    EXPECT_EQ(0, result);
    EXPECT_EQ(96000, content.audioBitrate);
    EXPECT_EQ(48000, content.sampleRate);
    EXPECT_EQ(1u, content.channelCount);
    EXPECT_EQ(1500000, content.videoBitrate);
    EXPECT_EQ(25, content.frameRate);
    EXPECT_EQ(320, content.width);
    EXPECT_EQ(176, content.height);
    EXPECT_EQ(123456u, content.duration);
}

TEST(ContentsMovieFormat, WhichContentsAreMoviesAndWhenTheProbeDecides) {
    struct Case {
        const char* name;
        uint32_t kind;
        uint32_t code;
        uint8_t alreadyMarked;
        bool fittingProfile;
        int32_t probeResult;
        uint16_t audioTag;
        int32_t result;
        int probes;
    };
    const Case cases[] = {
        {"video", 3, 20, 0, false, 0, 0, 1, 1},
        {"podcast video in mp4", 4, 4, 0, false, 0, 0, 1, 1},
        {"podcast video in 3gp is not probed", 4, 3, 0, false, 0, 0, 0, 0},
        {"a wmv of any kind", 8, 18, 0, false, 0, 0, 1, 1},
        {"an m4v of any kind", 6, 19, 0, false, 0, 0, 1, 1},
        {"feed file", 7, 37, 0, false, 0, 0, 0, 0},
        {"already marked for conversion", 3, 20, 1, false, 0, 0, 0, 0},
        {"failed probe passes unconverted", 3, 4, 0, false, -1, 0, 0, 1},
        {"fits", 3, 18, 0, true, 0, 0, 0, 1},
        {"wmv with WMA Pro audio", 3, 18, 0, true, 0, 0x162, 1, 1},
        {"WMA Pro audio matters in a wmv only", 3, 4, 0, true, 0, 0x162, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CheckFixture fixture;
        fixture.manager.SetFileTypeMasks(0, 0);
        if (c.fittingProfile) fixture.coordinator.videoProfiles = {VideoProfile({}, {})};
        fixture.probe.movieResult = c.probeResult;
        fixture.probe.movieAudio.formatTag = c.audioTag;
        CTNContent content(0, c.kind);
        content.fileType = c.code;
        content.skip = c.alreadyMarked;
        content.sourcePath = L"C:\\v\\a.x";
        int32_t result = -1;
        Check(fixture, &content, &result);
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(c.probes, fixture.probe.movieProbes.load());
    }
}

// What happens to a movie the player cannot take as it is: result 1 (no profile fits) or 3
// (its codec suits, its values are unknown).
TEST(ContentsMovieFormat, ConversionDecision) {
    enum Listener { kNone, kYes, kNo };
    struct Case {
        const char* name;
        int32_t videoResult;
        bool conversionBit;
        bool flag;
        bool cautionSetting;
        Listener listener;
        int32_t answer;
        bool marked;
        int32_t passUnconverted;
        int questions;
    };
    const Case cases[] = {
        {"no conversion format, 1", 1, false, true, false, kYes, 1, false, 1, 0},
        {"no conversion format, 3 goes as it is", 3, false, true, false, kYes, 0, false, 1, 0},
        {"agreed, caution setting, 1", 1, true, true, true, kNo, 0, true, 0, 0},
        {"agreed, caution setting, 3", 3, true, true, true, kNo, 0, true, 1, 0},
        {"agreed, yes", 1, true, true, false, kYes, 0, true, 0, 1},
        {"agreed, no, 1", 1, true, true, false, kNo, 1, false, 1, 1},
        {"agreed, no, 3", 3, true, true, false, kNo, 0, false, 1, 1},
        {"agreed, no listener", 1, true, true, false, kNone, 0, true, 0, 0},
        {"not agreed, caution setting, 1", 1, true, false, true, kYes, 1, false, 1, 0},
        {"not agreed, caution setting, 3", 3, true, false, true, kYes, 0, false, 1, 0},
        {"not agreed, yes", 1, true, false, false, kYes, 0, true, 0, 1},
        {"not agreed, yes, 3", 3, true, false, false, kYes, 0, true, 1, 1},
        {"not agreed, no", 1, true, false, false, kNo, 1, false, 1, 1},
        {"not agreed, no listener, 1", 1, true, false, false, kNone, 1, false, 1, 0},
        {"not agreed, no listener, 3", 3, true, false, false, kNone, 0, false, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CheckFixture fixture;
        // The first mask decides; the podcast mask is ignored here.
        fixture.manager.SetFileTypeMasks(c.conversionBit ? kConversionBit : 0, c.conversionBit ? 0 : kConversionBit);
        fixture.manager.SetMovieCautionFlag(c.flag);
        fixture.SetMovieConvertCaution(c.cautionSetting ? 1 : -1);
        fixture.listener.movieAnswer = c.listener == kYes ? 1 : 0;
        if (c.listener != kNone) fixture.manager.SetListener(&fixture.listener);
        if (c.videoResult == 3) {
            fixture.coordinator.videoProfiles = {VideoProfile({L"AAC_LC", L"AVCBL"}, {})};
            fixture.probe.movieAudio.codec = 7;
        }
        CTNContent content(0, CTNContent::kVideo);
        content.fileType = 20;
        content.sourcePath = L"C:\\v\\a.avi";
        int32_t result = -1;
        Check(fixture, &content, &result);
        EXPECT_EQ(c.answer, result);
        EXPECT_EQ(c.marked ? 1 : 0, content.skip);
        EXPECT_EQ(c.passUnconverted, content.passUnconverted);
        EXPECT_EQ(c.questions, fixture.listener.movieQuestions.load());
        // The decision never changes what the user agreed to before.
        EXPECT_EQ(c.flag, fixture.manager.MovieCautionFlag());
    }
}

}  // namespace
