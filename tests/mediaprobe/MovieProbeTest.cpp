#include "library/media/decode/MovieProbe.h"

#include <objbase.h>

#include <gtest/gtest.h>

#include <cstring>

#include "library/media/decode/Mp4TrackProbe.h"
#include "tests/mediaprobe/ProbeTestSupport.h"

namespace {

struct TrackCase {
    const wchar_t* file;
    int32_t videoTrack;
    int32_t unsupportedAudio;
    int32_t codecsResult;
    MediaVideoInfo video;  // width, height and codec are compared
    int32_t channels;
    int32_t sampleRate;
    int32_t audioCodec;
};

TEST(MovieProbeTest, TracksAndCodecsOfMp4FamilyFiles) {
    const TrackCase cases[] = {
        // The player layout's profile box: H.264 Main profile, AAC low complexity.
        {L"h264-main.mp4", 1, 0, 0, {0, 0, 160, 120, 77}, 2, 44100, 2},
        // ffmpeg writes the ISO template channel count 2 into every MP4 and 3GP audio entry.
        {L"mpeg4-visual.mp4", 1, 0, 0, {0, 0, 176, 144, 0x1000001}, 2, 22050, 2},
        // No profile box: both codecs unseen.
        {L"no-profile.mp4", 1, 0, 0, {0, 0, 64, 48, -1}, 0, 0, -1},
        {L"tagged.m4a", 0, 0, 0, {0, 0, 0, 0, -1}, 2, 44100, -1},
        {L"alac.m4a", 0, 1, 0, {0, 0, 0, 0, -1}, 2, 44100, -1},
        {L"tagged.3gp", 1, 0, 0, {0, 0, 176, 144, -1}, 2, 16000, -1},
        {L"plain.mp3", -1, -1, -1, {}, 0, 0, 0},
        {L"missing.mp4", -1, -1, -1, {}, 0, 0, 0},
    };
    for (const TrackCase& c : cases) {
        SCOPED_TRACE(std::string(c.file, c.file + wcslen(c.file)));
        const std::wstring path = ProbeFixture(c.file);
        EXPECT_EQ(c.videoTrack, HasVideoTrack(path));
        EXPECT_EQ(c.unsupportedAudio, HasUnsupportedMp4Audio(path));
        MediaVideoInfo video;
        MediaAudioInfo audio;
        std::memset(&video, 0x5A, sizeof(video));
        std::memset(&audio, 0x5A, sizeof(audio));
        EXPECT_EQ(c.codecsResult, CheckMp4Codecs(path, &video, &audio));
        // Both records start zeroed, also when the file does not parse.
        EXPECT_EQ(c.video.width, video.width);
        EXPECT_EQ(c.video.height, video.height);
        EXPECT_EQ(c.video.codec, video.codec);
        EXPECT_EQ(0, video.bitRate);
        EXPECT_EQ(c.channels, audio.channelCount);
        EXPECT_EQ(c.sampleRate, audio.sampleRate);
        EXPECT_EQ(c.audioCodec, audio.codec);
        EXPECT_EQ(0, audio.durationMs);
    }
}

TEST(MovieProbeTest, NullRecordsAreRefused) {
    MediaVideoInfo video{};
    MediaAudioInfo audio{};
    EXPECT_EQ(-1, CheckMp4Codecs(ProbeFixture(L"h264-main.mp4"), nullptr, &audio));
    EXPECT_EQ(-1, CheckMp4Codecs(ProbeFixture(L"h264-main.mp4"), &video, nullptr));
    EXPECT_EQ(-1, ProbeWithWMReader(ProbeFixture(L"movie.wmv"), nullptr, &video));
}

TEST(MovieProbeTest, Mp4MoviesAreReadFromTheirBoxes) {
    for (int32_t code : {4, 19}) {
        SCOPED_TRACE(code);
        MediaVideoInfo video{};
        MediaAudioInfo audio{};
        EXPECT_EQ(0, GetMovieInfo(ProbeFixture(L"h264-main.mp4"), code, &video, &audio));
        EXPECT_EQ(160, video.width);
        EXPECT_EQ(77, video.codec);
        EXPECT_EQ(2, audio.channelCount);
    }
}

TEST(MovieProbeTest, OtherCodesLeaveTheRecordsAlone) {
    for (int32_t code : {0, 1, 2, 3, 5, 17, 20}) {
        SCOPED_TRACE(code);
        MediaVideoInfo video{7, 7, 7, 7, 7};
        MediaAudioInfo audio{7, 7, 7, 7, 7, 7};
        EXPECT_EQ(-1, GetMovieInfo(ProbeFixture(L"h264-main.mp4"), code, &video, &audio));
        EXPECT_EQ(7, video.width);
        EXPECT_EQ(7, audio.durationMs);
    }
}

class WindowsMediaMovieTest : public ::testing::Test {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(WindowsMediaMovieTest, ReaderFormatsAndGraphDuration) {
    MediaVideoInfo video{};
    MediaAudioInfo audio{};
    ASSERT_EQ(0, GetMovieInfo(ProbeFixture(L"movie.wmv"), 18, &video, &audio));
    EXPECT_EQ(160, video.width);
    EXPECT_EQ(120, video.height);
    EXPECT_EQ(1, audio.channelCount);
    EXPECT_EQ(22050, audio.sampleRate);
    EXPECT_NEAR(1000, audio.durationMs, 150);
}

TEST_F(WindowsMediaMovieTest, AFileTheReaderCannotOpenFails) {
    MediaVideoInfo video{};
    MediaAudioInfo audio{};
    EXPECT_EQ(-1, GetMovieInfo(ProbeFixture(L"missing.wmv"), 18, &video, &audio));
    EXPECT_EQ(0, audio.durationMs);
}

}  // namespace
