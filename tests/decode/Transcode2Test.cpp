#include "library/media/decode/ITranscode2.h"

#include <gtest/gtest.h>
#include <uuids.h>

#include <memory>

#include "platform/dshow/MediaType.h"
#include "tests/decode/DecodeTestSupport.h"
#include "tests/decode/TestReceiver.h"

namespace {

class Transcode2Test : public ::testing::Test {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    void TearDown() override { CoUninitialize(); }
};

struct DecodeCase {
    const wchar_t* file;
    int sourceKind;
    LONGLONG durationMs;
};

// Decodes a fixture to the end and checks what reached the receiver.
void ExpectDecodes(const DecodeCase& c) {
    CTestReceiver receiver;
    std::unique_ptr<ITranscode2> graph(CreateTranscode2(&receiver));
    ASSERT_NE(nullptr, graph);
    ASSERT_EQ(S_OK, graph->SetFile(FixturePath(c.file).c_str(), c.sourceKind));
    LONGLONG duration = 0;
    ASSERT_EQ(S_OK, graph->GetDuration(&duration));
    EXPECT_NEAR(c.durationMs, duration, 100);
    ASSERT_EQ(S_OK, graph->Run());
    ASSERT_TRUE(receiver.WaitForEnd(30000));
    EXPECT_EQ(1, receiver.MediaTypes());
    EXPECT_TRUE(IsEqualGUID(MEDIASUBTYPE_PCM, receiver.Subtype()));
    const WAVEFORMATEX format = receiver.Format();
    ASSERT_GT(format.nBlockAlign, 0);
    const double expected = c.durationMs / 1000.0 * format.nSamplesPerSec * format.nBlockAlign;
    EXPECT_NEAR(expected, static_cast<double>(receiver.bytes_), expected * 0.08);
    EXPECT_EQ(S_OK, graph->Stop());
    EXPECT_EQ(1, receiver.endsOfStream_.load());
    graph->Release();
}

TEST_F(Transcode2Test, Mp3FromMemory) { ExpectDecodes({L"tone-id3-lame.mp3", 1, 3000}); }
TEST_F(Transcode2Test, Mp3ThroughRenderFile) { ExpectDecodes({L"tone-id3-lame.mp3", 2, 3000}); }
TEST_F(Transcode2Test, WavThroughRenderFile) { ExpectDecodes({L"tone-mono.wav", 2, 2000}); }
TEST_F(Transcode2Test, WmaThroughRenderFile) { ExpectDecodes({L"tone.wma", 2, 3000}); }

}  // namespace
