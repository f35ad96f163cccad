#include <gtest/gtest.h>

#include <thread>

#include "library/analysis/AnalysisManagerGroup.h"
#include "tests/analysis/AnalysisTestSupport.h"

namespace {

constexpr DWORD kSongTimeoutMs = 60000;

class AnalysisManagerTest : public CAnalysisSuite {
protected:
    void SetUp() override {
        CAnalysisSuite::SetUp();
        ASSERT_EQ(S_OK, group_.AddManager());
        group_.SetListener(&listener_);
        group_.SetNext(&end_);
        ASSERT_EQ(S_OK, group_.Start());
    }
    void TearDown() override {
        group_.Stop();
        CAnalysisSuite::TearDown();
    }

    // A song record of the media type for `path`.
    static CTNContent* Song(const std::wstring& path, uint32_t mediaType) {
        CTNContent* content = new CTNContent(0, CTNContent::kSong);
        content->sourcePath = path;
        content->fileType = mediaType;
        return content;
    }

    CTNContent* Analyse(CTNContent* content) {
        const size_t before = end_.Count();
        group_.PostContent(content);
        EXPECT_TRUE(end_.WaitFor(before + 1, kSongTimeoutMs));
        return end_.At(before);
    }

    CAnalysisManagerGroup group_;
    CRecordingListener listener_;
    CKeepingEnd end_;
};

// The payload must come from the decoded audio: its byte count is what the engine was fed, and a
// tone is not silent.
void ExpectPayloadFromAudio(const CTNContent* song, const AnalysisStandinSession& session) {
    ASSERT_NE(nullptr, song->byteArray);
    const auto records = PayloadRecords(song->byteArray);
    ASSERT_EQ(2u, records.size()) << "the engine's GMMD record is stripped";
    EXPECT_EQ("STSA", records[0].first);
    const std::vector<uint8_t>& fed = records[0].second;
    const uint32_t bytes = (uint32_t(fed[0]) << 24) | (uint32_t(fed[1]) << 16) | (uint32_t(fed[2]) << 8) | fed[3];
    EXPECT_EQ(static_cast<uint32_t>(session.bytes), bytes);
    EXPECT_EQ("STBF", records[1].first);
    EXPECT_GT(records[1].second[0], 10) << "mean loudness of a tone";
}

}  // namespace

TEST_F(AnalysisManagerTest, DecodedSongsFeedTheEngineAndCarryItsCleanedResult) {
    const struct {
        std::wstring path;
        uint32_t mediaType;
        long channels;
        long rate;
        double seconds;
    } songs[] = {
        {DecodeFixture(L"tone-id3-lame.mp3"), 0, 2, 44100, 3.0},
        {DecodeFixture(L"tone.wma"), 1, 0, 0, 3.0},
        // The MP4 family's decoder is an outside filter; its stand-in decodes the WAV it is given.
        {DecodeFixture(L"tone-mono.wav"), 2, 1, 22050, 2.0},
    };
    for (const auto& s : songs) {
        SCOPED_TRACE(s.path);
        CTNContent* song = Analyse(Song(s.path, s.mediaType));
        ASSERT_NE(nullptr, song);
        const AnalysisStandinSession session = Session();
        EXPECT_EQ(kAnalysisOptionBufferLengthValue, session.option5);
        EXPECT_EQ(1, session.initialized);
        EXPECT_EQ(1, session.endPushes);
        EXPECT_EQ(0, session.badFlags);
        EXPECT_EQ(16, session.bitsPerSample);
        if (s.channels) {
            EXPECT_EQ(s.channels, session.channels);
            EXPECT_EQ(s.rate, session.sampleRate);
        }
        // Most of the song's PCM reached the engine (decoders may pad or trim a little).
        const double expected = s.seconds * session.sampleRate * session.channels * 2;
        EXPECT_GT(static_cast<double>(session.bytes), expected * 0.9);
        EXPECT_LT(static_cast<double>(session.bytes), expected * 1.1);
        ExpectPayloadFromAudio(song, session);
    }
    const auto calls = listener_.Calls();
    ASSERT_EQ(6u, calls.size());
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(static_cast<int>(i % 2), calls[i].state);
        EXPECT_FALSE(calls[i].failed);
    }
}

TEST_F(AnalysisManagerTest, EndStatusDecidesSuccess) {
    const struct {
        const wchar_t* script;
        bool failed;
    } cases[] = {
        {L"end=0", false}, {L"end=1", false}, {L"end=2", false}, {L"end=3", true}, {L"end=-1", true},
        {L"end=2;events=sync", false}, {L"abortAfter=3", true}, {L"fail=push", true}, {L"fail=format", true},
        {L"fail=initialize", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        SetScript(c.script);
        const size_t calls = listener_.Calls().size();
        CTNContent* song = Analyse(Song(DecodeFixture(L"tone-id3-lame.mp3"), 0));
        ASSERT_NE(nullptr, song);
        EXPECT_EQ(c.failed, song->byteArray == nullptr);
        const auto all = listener_.Calls();
        ASSERT_EQ(calls + 2, all.size());
        EXPECT_EQ(1, all.back().state);
        EXPECT_EQ(c.failed, all.back().failed);
    }
}

TEST_F(AnalysisManagerTest, NothingMeasuredMeansNoPayloadAndNoFailure) {
    SetScript(L"empty=1");
    CTNContent* song = Analyse(Song(DecodeFixture(L"tone-id3-lame.mp3"), 0));
    ASSERT_NE(nullptr, song);
    EXPECT_EQ(nullptr, song->byteArray);
    ASSERT_EQ(2u, listener_.Calls().size());
    EXPECT_FALSE(listener_.Calls().back().failed);
}

TEST_F(AnalysisManagerTest, WithoutAnEngineEverySongStillPasses) {
    SetEngineInstalled(false);
    for (int i = 0; i < 3; ++i) {
        CTNContent* song = Analyse(Song(DecodeFixture(L"tone-id3-lame.mp3"), 0));
        ASSERT_NE(nullptr, song);
        EXPECT_EQ(nullptr, song->byteArray);
    }
    SetEngineInstalled(true);
    const auto calls = listener_.Calls();
    ASSERT_EQ(6u, calls.size());
    EXPECT_TRUE(calls.back().failed);
}

TEST_F(AnalysisManagerTest, OtherRecordsPassUntouchedAndUnannounced) {
    const LONG enginesBefore = Session().engines;
    CTNContent* video = Song(MediaprobeFixture(L"movie.wmv"), 1);
    video->kind = CTNContent::kVideo;
    CTNContent* wav = Song(DecodeFixture(L"tone-mono.wav"), 5);
    CTNContent* analysed = Song(DecodeFixture(L"tone-id3-lame.mp3"), 0);
    analysed->hasMoodData = 1;
    CTNContent* unwanted = Song(DecodeFixture(L"tone-id3-lame.mp3"), 0);
    unwanted->analysisNotWanted = 1;
    for (CTNContent* content : {video, wav, analysed, unwanted}) EXPECT_EQ(content, Analyse(content));
    EXPECT_TRUE(listener_.Calls().empty());
    EXPECT_EQ(enginesBefore, Session().engines);

    group_.SetOption(false);
    Analyse(Song(DecodeFixture(L"tone-id3-lame.mp3"), 0));
    EXPECT_TRUE(listener_.Calls().empty());
}

TEST_F(AnalysisManagerTest, WorkingCopyIsDeletedWhetherTheAnalysisSucceedsOrNot) {
    for (const wchar_t* script : {L"end=0", L"end=3"}) {
        SetScript(script);
        CFixtureCopy copy(DecodeFixture(L"tone-id3-lame.mp3"), L".dat");
        ASSERT_TRUE(copy.Exists());
        CTNContent* content = Song(L"Z:\\no\\such\\source.mp3", 0);
        content->tempPath = copy.Path();
        CTNContent* song = Analyse(content);
        ASSERT_NE(nullptr, song);
        EXPECT_TRUE(song->tempPath.empty());
        EXPECT_FALSE(copy.Exists()) << script;
        // Decoded from the working copy, since the source does not exist.
        EXPECT_EQ(std::wstring(script) == L"end=0", song->byteArray != nullptr);
    }
}

TEST_F(AnalysisManagerTest, ExistingPayloadIsMergedWithTheNewResult) {
    CTNContent* content = Song(DecodeFixture(L"tone-id3-lame.mp3"), 0);
    const uint8_t old[] = {'S', 'T', 'M', 'O', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    CTNByteArray* blob = CTNByteArray::Create(sizeof(old));
    ASSERT_EQ(S_OK, blob->SetData(old, sizeof(old)));
    content->SetByteArray(blob);
    CTNContent* song = Analyse(content);
    const auto records = PayloadRecords(song->byteArray);
    ASSERT_EQ(3u, records.size());
    EXPECT_EQ("STSA", records[0].first);
    EXPECT_EQ("STBF", records[1].first);
    EXPECT_EQ("STMO", records[2].first);
}

TEST_F(AnalysisManagerTest, AbortRacingTheEndEventForwardsEachSongOnce) {
    // A short song keeps the thousand rounds quick; the race is at its end either way.
    SetScript(L"race=1;end=0");
    constexpr int kRounds = 1000;
    for (int i = 0; i < kRounds; ++i) group_.PostContent(Song(DecodeFixture(L"tone-mono.wav"), 2));
    ASSERT_TRUE(end_.WaitFor(kRounds, 600000)) << end_.Count();
    Sleep(200);
    EXPECT_EQ(static_cast<size_t>(kRounds), end_.Count());
    const auto calls = listener_.Calls();
    EXPECT_EQ(2u * kRounds, calls.size());
}

TEST_F(AnalysisManagerTest, CancelEndsTheSongInWorkAndTheNextRunWorks) {
    SetScript(L"stallMs=200");
    group_.PostContent(Song(DecodeFixture(L"tone-id3-lame.mp3"), 0));
    const DWORD start = GetTickCount();
    while (listener_.Calls().empty() && GetTickCount() - start < 10000) Sleep(5);
    ASSERT_FALSE(listener_.Calls().empty());
    group_.CancelAll();
    const DWORD cancelled = GetTickCount();
    group_.Reset();
    EXPECT_LT(GetTickCount() - cancelled, 5000u);
    EXPECT_EQ(0u, end_.Count()) << "a cancelled song is dropped";
    SetScript(L"");
    CTNContent* song = Analyse(Song(DecodeFixture(L"tone-id3-lame.mp3"), 0));
    ASSERT_NE(nullptr, song);
    EXPECT_NE(nullptr, song->byteArray);
}
