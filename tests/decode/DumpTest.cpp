#include "library/media/decode/Dump.h"

#include <gtest/gtest.h>

#include <string>

#include "library/media/decode/DumpInputPin.h"
#include "tests/decode/DecodeTestSupport.h"
#include "tests/decode/TestReceiver.h"

namespace {

class DumpTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        HRESULT hr = E_FAIL;
        dump_ = CDump::Create(nullptr, &hr);
        ASSERT_NE(nullptr, dump_);
        ASSERT_EQ(S_OK, hr);
        dump_->GetInner()->AddRef();
    }
    void TearDown() override {
        EXPECT_EQ(0u, dump_->GetInner()->Release());
        CoUninitialize();
    }

    template <class T>
    T* Query(REFIID iid) {
        T* object = nullptr;
        EXPECT_EQ(S_OK, dump_->QueryInterface(iid, reinterpret_cast<void**>(&object)));
        return object;
    }

    CDump* dump_ = nullptr;
};

TEST_F(DumpTest, AnswersFilterSinkAndSeekingInterfaces) {
    IBaseFilter* filter = Query<IBaseFilter>(IID_IBaseFilter);
    ASSERT_NE(nullptr, filter);
    IFileSinkFilter* sink = nullptr;
    // Every interface leads back to the same object.
    ASSERT_EQ(S_OK, filter->QueryInterface(IID_IFileSinkFilter, reinterpret_cast<void**>(&sink)));
    IMediaSeeking* seeking = nullptr;
    ASSERT_EQ(S_OK, filter->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking)));
    IMediaPosition* position = nullptr;
    ASSERT_EQ(S_OK, seeking->QueryInterface(IID_IMediaPosition, reinterpret_cast<void**>(&position)));
    IAMFilterMiscFlags* flags = nullptr;
    ASSERT_EQ(S_OK, filter->QueryInterface(IID_IAMFilterMiscFlags, reinterpret_cast<void**>(&flags)));
    EXPECT_EQ(static_cast<ULONG>(AM_FILTER_MISC_FLAGS_IS_RENDERER), flags->GetMiscFlags());
    IPin* notAPin = nullptr;
    EXPECT_EQ(E_NOINTERFACE, filter->QueryInterface(IID_IPin, reinterpret_cast<void**>(&notAPin)));
    // Unconnected, seeking has no upstream to ask.
    LONGLONG duration = 0;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, seeking->GetDuration(&duration));
    flags->Release();
    position->Release();
    seeking->Release();
    sink->Release();
    filter->Release();
}

TEST_F(DumpTest, HasOneInputPinNamedInput) {
    IBaseFilter* filter = Query<IBaseFilter>(IID_IBaseFilter);
    IPin* pin = nullptr;
    ASSERT_EQ(S_OK, filter->FindPin(L"Input", &pin));
    PIN_DIRECTION direction;
    EXPECT_EQ(S_OK, pin->QueryDirection(&direction));
    EXPECT_EQ(PINDIR_INPUT, direction);
    IEnumPins* pins = nullptr;
    ASSERT_EQ(S_OK, filter->EnumPins(&pins));
    IPin* all[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(S_FALSE, pins->Next(2, all, &fetched));
    EXPECT_EQ(1u, fetched);
    all[0]->Release();
    pins->Release();
    pin->Release();
    filter->Release();
}

TEST_F(DumpTest, AcceptsOnlyPcmWithAWaveFormat) {
    struct Case {
        const char* name;
        GUID major, sub, format;
        HRESULT accepted;
    };
    const Case cases[] = {
        {"pcm", MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, S_OK},
        {"wave subtype", MEDIATYPE_Audio, MEDIASUBTYPE_WAVE, FORMAT_WaveFormatEx, S_OK},
        {"major type not looked at", MEDIATYPE_Video, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx, S_OK},
        {"compressed audio", MEDIATYPE_Audio, MEDIASUBTYPE_MPEG1AudioPayload, FORMAT_WaveFormatEx, S_FALSE},
        {"float audio", MEDIATYPE_Audio, MEDIASUBTYPE_IEEE_FLOAT, FORMAT_WaveFormatEx, S_FALSE},
        {"no wave format", MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_None, S_FALSE},
    };
    IPin* pin = dump_->Pin();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMediaType type;
        type.majortype = c.major;
        type.subtype = c.sub;
        type.formattype = c.format;
        EXPECT_EQ(c.accepted, pin->QueryAccept(&type));
    }
    IEnumMediaTypes* types = nullptr;
    ASSERT_EQ(S_OK, pin->EnumMediaTypes(&types));
    AM_MEDIA_TYPE* proposed = nullptr;
    ASSERT_EQ(S_OK, types->Next(1, &proposed, nullptr));
    EXPECT_TRUE(IsEqualGUID(MEDIATYPE_Stream, proposed->majortype));
    EXPECT_TRUE(IsEqualGUID(MEDIASUBTYPE_WAVE, proposed->subtype));
    DeleteMediaTypeRecord(proposed);
    EXPECT_EQ(S_FALSE, types->Next(1, &proposed, nullptr));
    types->Release();
    CMediaType out;
    EXPECT_EQ(VFW_S_NO_MORE_ITEMS, dump_->Pin()->GetMediaType(1, &out));
    EXPECT_EQ(E_POINTER, dump_->Pin()->GetMediaType(0, nullptr));
}

TEST_F(DumpTest, SamplesGoToTheReceiverOrAreDropped) {
    IMemAllocator* allocator = nullptr;
    ASSERT_EQ(S_OK, dump_->Pin()->GetAllocator(&allocator));
    ALLOCATOR_PROPERTIES wanted = {1, 100, 1, 0}, actual = {};
    ASSERT_EQ(S_OK, allocator->SetProperties(&wanted, &actual));
    ASSERT_EQ(S_OK, allocator->Commit());
    IMediaSample* sample = nullptr;
    ASSERT_EQ(S_OK, allocator->GetBuffer(&sample, nullptr, nullptr, 0));
    sample->SetActualDataLength(60);

    // No receiver, not even connected: accepted and dropped.
    EXPECT_EQ(S_OK, dump_->Pin()->Receive(sample));
    EXPECT_EQ(E_POINTER, dump_->Pin()->Receive(nullptr));
    CTestReceiver receiver;
    dump_->SetReceiver(&receiver);
    EXPECT_EQ(S_OK, dump_->Pin()->Receive(sample));
    EXPECT_EQ(60, receiver.bytes_.load());
    dump_->Pin()->EndOfStream();
    EXPECT_EQ(1, receiver.endsOfStream_.load());
    dump_->SetReceiver(nullptr);
    EXPECT_EQ(S_OK, dump_->Pin()->Receive(sample));
    EXPECT_EQ(60, receiver.bytes_.load());
    sample->Release();
    allocator->Decommit();
    allocator->Release();
}

TEST_F(DumpTest, FileNameErrorsAreHresults) {
    IFileSinkFilter* sink = Query<IFileSinkFilter>(IID_IFileSinkFilter);
    EXPECT_EQ(E_POINTER, sink->SetFileName(nullptr, nullptr));
    CScratchFile target(std::vector<uint8_t>{1, 2, 3});
    ASSERT_EQ(S_OK, sink->SetFileName(target.Path().c_str(), nullptr));

    // Too long a name is a failure (a bare 206 would read as success) and keeps the old name.
    const std::wstring tooLong(261, L'a');
    const HRESULT hr = sink->SetFileName(tooLong.c_str(), nullptr);
    EXPECT_TRUE(FAILED(hr));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE), hr);
    LPOLESTR name = nullptr;
    AM_MEDIA_TYPE type;
    type.majortype = MEDIATYPE_Audio;
    ASSERT_EQ(S_OK, sink->GetCurFile(&name, &type));
    ASSERT_NE(nullptr, name);
    EXPECT_EQ(target.Path(), std::wstring(name));
    EXPECT_TRUE(IsEqualGUID(GUID_NULL, type.majortype));
    CoTaskMemFree(name);
    // Opening truncated the file: the sink writes a new one.
    EXPECT_TRUE(ReadWholeFile(target.Path()).empty());
    EXPECT_EQ(E_POINTER, sink->GetCurFile(nullptr, nullptr));
    sink->Release();
}

TEST_F(DumpTest, WithoutANameOpeningFailsAsAnHresult) {
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INVALID_NAME), dump_->OpenFile());
    IFileSinkFilter* sink = Query<IFileSinkFilter>(IID_IFileSinkFilter);
    LPOLESTR name = reinterpret_cast<LPOLESTR>(1);
    ASSERT_EQ(S_OK, sink->GetCurFile(&name, nullptr));
    EXPECT_EQ(nullptr, name);
    // Pausing without a name still works: the sink writes nothing.
    IBaseFilter* filter = Query<IBaseFilter>(IID_IBaseFilter);
    EXPECT_EQ(S_OK, filter->Pause());
    EXPECT_EQ(S_OK, filter->Stop());
    filter->Release();
    sink->Release();
}

}  // namespace
