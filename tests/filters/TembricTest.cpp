// The silence detector: its scan and verdict, its media types, and a real graph from a WAV file.
#include <gtest/gtest.h>


#include "filters/tembric/Tembric.h"
#include "tests/filters/FilterTestSupport.h"

namespace {

class TembricTest : public ::testing::Test {
protected:
    TembricTest() : filter_(new CTembric(nullptr)), samples_(200000) { filter_->NonDelegatingAddRef(); }
    ~TembricTest() override { filter_->NonDelegatingRelease(); }

    void Render(const std::vector<BYTE>& bytes) {
        IMediaSample* sample = samples_.Make(bytes);
        ASSERT_NE(nullptr, sample);
        EXPECT_EQ(S_OK, filter_->DoRenderSample(sample));
        sample->Release();
    }
    HRESULT Verdict() {
        HRESULT verdict = E_UNEXPECTED;
        EXPECT_EQ(S_OK, filter_->GetResult(&verdict));
        return verdict;
    }
    DWORD Count() {
        DWORD count = 0;
        EXPECT_EQ(S_OK, filter_->GetCount(&count));
        return count;
    }

    CComThread com_;
    CTembric* filter_;
    CSampleSource samples_;
};

TEST_F(TembricTest, SilenceIsDecidedAtTheThresholdOnly) {
    Render(std::vector<BYTE>(88198, 0));
    EXPECT_EQ(S_FALSE, Verdict());
    EXPECT_EQ(88198u, Count());
    Render(std::vector<BYTE>(2, 0));
    EXPECT_EQ(S_OK, Verdict());
    EXPECT_EQ(88200u, Count());
}

TEST_F(TembricTest, FirstNonZeroValueDecidesSignalAndStopsTheCount) {
    Render({0x01, 0x00, 0, 0, 0, 0});
    EXPECT_EQ(E_FAIL, Verdict());
    EXPECT_EQ(2u, Count());
    // Later samples are not looked at.
    Render(std::vector<BYTE>(1000, 0));
    EXPECT_EQ(2u, Count());
    EXPECT_EQ(E_FAIL, Verdict());
    // A value counts from either byte, also a negative one.
    filter_->Reset();
    Render({0, 0, 0, 0, 0x00, 0x80, 0, 0});
    EXPECT_EQ(E_FAIL, Verdict());
    EXPECT_EQ(6u, Count());
}

TEST_F(TembricTest, ResetStartsOver) {
    Render({0, 0, 7, 0});
    ASSERT_EQ(E_FAIL, Verdict());
    EXPECT_EQ(S_OK, filter_->Reset());
    EXPECT_EQ(S_FALSE, Verdict());
    EXPECT_EQ(0u, Count());
    Render(std::vector<BYTE>(100, 0));
    EXPECT_EQ(100u, Count());
}

TEST_F(TembricTest, EmptyAndOddSamples) {
    Render({});
    EXPECT_EQ(0u, Count());
    // An odd last byte is not part of a value: it is neither counted nor read.
    Render({0, 0, 0});
    EXPECT_EQ(2u, Count());
    EXPECT_EQ(S_FALSE, Verdict());
    std::vector<BYTE> buffer = {0, 0, 0, 0, 0x55};
    filter_->Scan(buffer.data(), 4);
    EXPECT_EQ(6u, Count());
    EXPECT_EQ(S_FALSE, Verdict());
}

AM_MEDIA_TYPE AudioType(const GUID& subtype, const GUID& format) {
    AM_MEDIA_TYPE type = {};
    type.majortype = MEDIATYPE_Audio;
    type.subtype = subtype;
    type.formattype = format;
    return type;
}

TEST_F(TembricTest, AcceptsPcmInAWaveFormatOnly) {
    AM_MEDIA_TYPE pcm = AudioType(MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx);
    EXPECT_EQ(S_OK, filter_->CheckMediaType(&pcm));
    const AM_MEDIA_TYPE refused[] = {
        AudioType(MEDIASUBTYPE_IEEE_FLOAT, FORMAT_WaveFormatEx),
        AudioType(MEDIASUBTYPE_PCM, FORMAT_None),
        AudioType(MEDIASUBTYPE_DOLBY_AC3, FORMAT_WaveFormatEx),
    };
    for (const AM_MEDIA_TYPE& type : refused) EXPECT_EQ(S_FALSE, filter_->CheckMediaType(&type));
    AM_MEDIA_TYPE video = pcm;
    video.majortype = MEDIATYPE_Video;
    EXPECT_EQ(S_FALSE, filter_->CheckMediaType(&video));
}

TEST_F(TembricTest, AnswersItsResultInterfaceAndInPin) {
    ITembricResult* result = nullptr;
    ASSERT_EQ(S_OK, filter_->QueryInterface(IID_ITembricResult, reinterpret_cast<void**>(&result)));
    IBaseFilter* base = nullptr;
    ASSERT_EQ(S_OK, result->QueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(&base)));
    IPin* pin = nullptr;
    EXPECT_EQ(S_OK, base->FindPin(L"In", &pin));
    if (pin != nullptr) pin->Release();
    FILTER_INFO info = {};
    EXPECT_EQ(S_OK, base->QueryFilterInfo(&info));
    EXPECT_STREQ(L"No Audio Signal Detector", info.achName);
    base->Release();
    result->Release();
}

// Runs the WAV through the platform's file source and wave parser into the filter in a graph.
HRESULT RunWavGraph(const std::wstring& wav, HRESULT* verdict, DWORD* count) {
    IGraphBuilder* graph = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                  reinterpret_cast<void**>(&graph));
    if (FAILED(hr)) return hr;
    CTembric* detector = new CTembric(nullptr);
    IBaseFilter* filter = nullptr;
    detector->NonDelegatingQueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(&filter));
    IBaseFilter* source = nullptr;
    IPin* in = nullptr;
    IEnumPins* pins = nullptr;
    IPin* out = nullptr;
    hr = graph->AddFilter(filter, L"No Audio Signal Detector");
    if (SUCCEEDED(hr)) hr = graph->AddSourceFilter(wav.c_str(), L"Source", &source);
    if (SUCCEEDED(hr)) hr = filter->FindPin(L"In", &in);
    if (SUCCEEDED(hr)) hr = source->EnumPins(&pins);
    if (SUCCEEDED(hr)) hr = pins->Next(1, &out, nullptr) == S_OK ? S_OK : E_FAIL;
    if (SUCCEEDED(hr)) hr = graph->Connect(out, in);
    IMediaFilter* timing = nullptr;
    IMediaControl* control = nullptr;
    IMediaEvent* events = nullptr;
    if (SUCCEEDED(hr)) {
        // No clock: the samples flow as fast as they are read.
        graph->QueryInterface(IID_IMediaFilter, reinterpret_cast<void**>(&timing));
        timing->SetSyncSource(nullptr);
        graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control));
        graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&events));
        hr = control->Run();
    }
    if (SUCCEEDED(hr)) {
        long code = 0;
        hr = events->WaitForCompletion(30000, &code);
        if (SUCCEEDED(hr) && code != EC_COMPLETE) hr = E_UNEXPECTED;
        control->Stop();
    }
    ITembricResult* result = nullptr;
    filter->QueryInterface(IID_ITembricResult, reinterpret_cast<void**>(&result));
    result->GetResult(verdict);
    result->GetCount(count);
    result->Release();
    for (IUnknown* item : std::initializer_list<IUnknown*>{events, control, timing, out, pins, in}) {
        if (item != nullptr) item->Release();
    }
    if (source != nullptr) {
        graph->RemoveFilter(source);
        source->Release();
    }
    graph->RemoveFilter(filter);
    filter->Release();
    graph->Release();
    return hr;
}

TEST(TembricGraphTest, SilentStereoSecondIsSilentWithEveryByteCounted) {
    CComThread com;
    CTempFolder folder;
    const std::wstring wav = folder.Path() + L"silent.wav";
    ASSERT_TRUE(WriteWav(wav, 2, 44100, std::vector<SHORT>(2 * 44100, 0)));
    HRESULT verdict = E_UNEXPECTED;
    DWORD count = 0;
    ASSERT_EQ(S_OK, RunWavGraph(wav, &verdict, &count));
    EXPECT_EQ(S_OK, verdict);
    EXPECT_EQ(176400u, count);
}

TEST(TembricGraphTest, OneNonZeroValueIsASignalCountedUpToIt) {
    CComThread com;
    CTempFolder folder;
    const std::wstring wav = folder.Path() + L"blip.wav";
    std::vector<SHORT> samples(2 * 44100, 0);
    samples[60001] = -3;
    ASSERT_TRUE(WriteWav(wav, 2, 44100, samples));
    HRESULT verdict = S_OK;
    DWORD count = 0;
    ASSERT_EQ(S_OK, RunWavGraph(wav, &verdict, &count));
    EXPECT_EQ(E_FAIL, verdict);
    EXPECT_EQ(2u * 60002u, count);
}

}  // namespace
