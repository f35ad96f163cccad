#include "platform/dshow/DShow.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "library/media/decode/ITranscode2.h"
#include "tests/decode/DecodeTestSupport.h"
#include "tests/decode/TestReceiver.h"

namespace {

typedef HRESULT(STDAPICALLTYPE* ServerEntry)();

// Calls DllRegisterServer or DllUnregisterServer of the loaded server.
HRESULT CallServerEntry(HMODULE server, const char* name) {
    FARPROC entry = GetProcAddress(server, name);
    if (entry == nullptr) return E_NOINTERFACE;
    return reinterpret_cast<ServerEntry>(reinterpret_cast<void*>(entry))();
}

// Registers the stand-in decoder filters for the tests of this suite and removes them after.
class Transcode2StandinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring module(path);
        module = module.substr(0, module.find_last_of(L"\\/") + 1) + L"QbStandinDecoders.ax";
        server_ = LoadLibraryW(module.c_str());
        ASSERT_NE(nullptr, server_);
        ASSERT_EQ(S_OK, CallServerEntry(server_, "DllRegisterServer"));
    }
    static void TearDownTestSuite() {
        if (server_ == nullptr) return;
        EXPECT_EQ(S_OK, CallServerEntry(server_, "DllUnregisterServer"));
        FreeLibrary(server_);
        server_ = nullptr;
    }
    void SetUp() override { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    void TearDown() override { CoUninitialize(); }

    static HMODULE server_;
};

HMODULE Transcode2StandinTest::server_ = nullptr;

void ExpectDecodesThroughStandins(int sourceKind) {
    CTestReceiver receiver;
    std::unique_ptr<ITranscode2> graph(CreateTranscode2(&receiver));
    ASSERT_EQ(S_OK, graph->SetFile(FixturePath(L"tone-mono.wav").c_str(), sourceKind));
    AM_MEDIA_TYPE input = {};
    ASSERT_EQ(S_OK, graph->GetInputMediaType(&input));
    // The decoder's input: the byte stream (kind 3) or the parser's audio (kind 4).
    EXPECT_TRUE(IsEqualGUID(sourceKind == 3 ? MEDIATYPE_Stream : MEDIATYPE_Audio, input.majortype));
    FreeMediaTypeContents(input);
    ASSERT_EQ(S_OK, graph->Run());
    ASSERT_TRUE(receiver.WaitForEnd(30000));
    EXPECT_EQ(1, receiver.MediaTypes());
    EXPECT_TRUE(IsEqualGUID(MEDIASUBTYPE_PCM, receiver.Subtype()));
    const WAVEFORMATEX format = receiver.Format();
    EXPECT_EQ(22050u, format.nSamplesPerSec);
    EXPECT_EQ(2, format.nBlockAlign);
    // 2 s at 22050 Hz, 2 bytes a frame: the whole data chunk.
    EXPECT_EQ(88200, receiver.bytes_.load());
    EXPECT_EQ(S_OK, graph->Stop());
    EXPECT_EQ(1, receiver.endsOfStream_.load());
    graph->Release();
}

TEST_F(Transcode2StandinTest, Mp4FamilyDecoderByClassIdentifier) { ExpectDecodesThroughStandins(3); }
TEST_F(Transcode2StandinTest, CodecFamilyParseAndDecodeFilters) { ExpectDecodesThroughStandins(4); }

// A WAV whose data chunk says 2 s but whose file holds 0.2 s: the source fails part way through,
// and the graph ends the run with a stop for that error, not with an end of stream.
TEST_F(Transcode2StandinTest, ASourceFailingMidStreamStopsTheRunWithAnError) {
    std::vector<uint8_t> bytes = ReadWholeFile(FixturePath(L"tone-mono.wav"));
    constexpr size_t kHeaderBytes = 44;
    constexpr size_t kDataPresent = 8820;
    ASSERT_GT(bytes.size(), kHeaderBytes + kDataPresent);
    bytes.resize(kHeaderBytes + kDataPresent);
    const CScratchFile truncated(bytes);
    for (int sourceKind : {3, 4}) {
        SCOPED_TRACE(sourceKind);
        CTestReceiver receiver;
        std::unique_ptr<ITranscode2> graph(CreateTranscode2(&receiver));
        ASSERT_EQ(S_OK, graph->SetFile(truncated.Path().c_str(), sourceKind));
        ASSERT_EQ(S_OK, graph->Run());
        ASSERT_TRUE(receiver.WaitForStop(30000));
        EXPECT_EQ(1, receiver.lastStopReason_.load());
        EXPECT_EQ(0, receiver.endsOfStream_.load());
        EXPECT_GT(receiver.bytes_.load(), 0);
        EXPECT_LE(receiver.bytes_.load(), static_cast<long long>(kDataPresent));
        EXPECT_EQ(S_OK, graph->Stop());
        graph->Release();
    }
}

TEST_F(Transcode2StandinTest, AMissingDecoderFailsTheBuild) {
    ASSERT_EQ(S_OK, CallServerEntry(server_, "DllUnregisterServer"));
    std::unique_ptr<ITranscode2> graph(CreateTranscode2(nullptr));
    EXPECT_EQ(REGDB_E_CLASSNOTREG, graph->SetFile(FixturePath(L"tone-mono.wav").c_str(), 3));
    graph->Release();
    ASSERT_EQ(S_OK, CallServerEntry(server_, "DllRegisterServer"));
}

}  // namespace
