#include <gtest/gtest.h>

#include "platform/dshow/ClassFactory.h"
#include "platform/dshow/EnumMediaTypes.h"
#include "tests/dshow/TestFilters.h"

namespace {

class BaseLayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        source_ = new CTestSource();
        inverter_ = new CTestInverter();
        renderer_ = new CTestRenderer();
        source_->AddRef();
        inverter_->AddRef();
        renderer_->AddRef();
    }
    void TearDown() override {
        source_->Pin().Disconnect();
        inverter_->Input().Disconnect();
        inverter_->Output().Disconnect();
        renderer_->InputPin().Disconnect();
        EXPECT_EQ(0u, source_->Release());
        EXPECT_EQ(0u, inverter_->Release());
        EXPECT_EQ(0u, renderer_->Release());
        CoUninitialize();
    }

    void ConnectChain() {
        ASSERT_EQ(S_OK, source_->Pin().Connect(&inverter_->Input(), nullptr));
        ASSERT_EQ(S_OK, inverter_->Output().Connect(&renderer_->InputPin(), nullptr));
    }

    CTestSource* source_ = nullptr;
    CTestInverter* inverter_ = nullptr;
    CTestRenderer* renderer_ = nullptr;
};

TEST_F(BaseLayerTest, ConnectedPinsAgreeOnTheType) {
    // The transform offers nothing until its input is connected.
    IEnumMediaTypes* types = nullptr;
    ASSERT_EQ(S_OK, inverter_->Output().EnumMediaTypes(&types));
    AM_MEDIA_TYPE* type = nullptr;
    EXPECT_EQ(S_FALSE, types->Next(1, &type, nullptr));
    types->Release();
    EXPECT_TRUE(FAILED(inverter_->Output().Connect(&renderer_->InputPin(), nullptr)));
    EXPECT_FALSE(renderer_->InputPin().IsConnected());

    ConnectChain();
    IPin* peer = nullptr;
    ASSERT_EQ(S_OK, renderer_->InputPin().ConnectedTo(&peer));
    EXPECT_EQ(static_cast<IPin*>(&inverter_->Output()), peer);
    peer->Release();
    AM_MEDIA_TYPE connected = {};
    ASSERT_EQ(S_OK, source_->Pin().ConnectionMediaType(&connected));
    EXPECT_TRUE(IsEqualGUID(MEDIASUBTYPE_DsTestBytes, connected.subtype));
    FreeMediaTypeContents(connected);
    EXPECT_EQ(VFW_E_ALREADY_CONNECTED, source_->Pin().Connect(&inverter_->Input(), nullptr));
    // A fully given type that the receiver refuses fails the connection.
    EXPECT_EQ(S_OK, source_->Pin().Disconnect());
    EXPECT_EQ(S_FALSE, source_->Pin().Disconnect());
    CMediaType other = TestBytesType();
    other.formattype = FORMAT_WaveFormatEx;
    other.subtype = MEDIASUBTYPE_PCM;
    EXPECT_EQ(VFW_E_TYPE_NOT_ACCEPTED, source_->Pin().Connect(&inverter_->Input(), &other));
    EXPECT_FALSE(source_->Pin().IsConnected());
    // Two output pins never connect.
    EXPECT_EQ(VFW_E_INVALID_DIRECTION, source_->Pin().Connect(&inverter_->Output(), nullptr));
}

TEST_F(BaseLayerTest, ATypeThePeerRefusesDoesNotSpoilTheNextOne) {
    source_->offerRefusedTypeFirst = true;
    ASSERT_EQ(S_OK, source_->Pin().Connect(&renderer_->InputPin(), nullptr));
    AM_MEDIA_TYPE connected = {};
    ASSERT_EQ(S_OK, source_->Pin().ConnectionMediaType(&connected));
    EXPECT_TRUE(IsEqualGUID(MEDIASUBTYPE_DsTestBytes, connected.subtype));
    FreeMediaTypeContents(connected);
    // The connection delivers: the pin kept the peer's memory input across the refused attempt.
    ASSERT_EQ(S_OK, renderer_->Pause());
    ASSERT_EQ(S_OK, source_->Pause());
    ASSERT_EQ(S_OK, source_->Send({7}, 0));
    EXPECT_EQ(std::vector<BYTE>{7}, renderer_->received);
    ASSERT_EQ(S_OK, source_->Stop());
    ASSERT_EQ(S_OK, renderer_->Stop());
}

TEST_F(BaseLayerTest, ATypeChangeTravelsThroughTheTransform) {
    ConnectChain();
    ASSERT_EQ(S_OK, renderer_->Pause());
    ASSERT_EQ(S_OK, inverter_->Pause());
    ASSERT_EQ(S_OK, source_->Pause());
    CMediaType changed = TestBytesType();
    ASSERT_EQ(S_OK, source_->Send({1}, 0, &changed));
    ASSERT_EQ(S_OK, source_->Send({2}, 1));
    ASSERT_EQ(1u, renderer_->typeChanges.size());
    EXPECT_TRUE(IsEqualGUID(MEDIASUBTYPE_DsTestBytes, renderer_->typeChanges[0]));
    for (CDsBaseFilter* filter : {static_cast<CDsBaseFilter*>(source_), static_cast<CDsBaseFilter*>(inverter_),
                                  static_cast<CDsBaseFilter*>(renderer_)})
        ASSERT_EQ(S_OK, filter->Stop());
}

TEST_F(BaseLayerTest, SamplesFlowThroughTheTransformToTheRenderer) {
    ConnectChain();
    // Stopped filters take no samples.
    EXPECT_EQ(VFW_E_NOT_COMMITTED, source_->Send({1}, 0));
    for (CDsBaseFilter* filter : {static_cast<CDsBaseFilter*>(renderer_), static_cast<CDsBaseFilter*>(inverter_),
                                  static_cast<CDsBaseFilter*>(source_)})
        ASSERT_EQ(S_OK, filter->Pause());
    EXPECT_EQ(1, inverter_->starts);
    ASSERT_EQ(S_OK, source_->Send({0x00, 0x0F, 0xF0}, 100));
    ASSERT_EQ(S_OK, source_->Send({}, 200));  // dropped by the transform
    ASSERT_EQ(S_OK, source_->Send({0xAA}, 300));
    EXPECT_EQ((std::vector<BYTE>{0xFF, 0xF0, 0x0F, 0x55}), renderer_->received);
    EXPECT_EQ((std::vector<REFERENCE_TIME>{100, 300}), renderer_->starts);

    // A flush refuses samples until it ends.
    ASSERT_EQ(S_OK, inverter_->Input().BeginFlush());
    EXPECT_EQ(S_FALSE, source_->Send({1}, 400));
    ASSERT_EQ(S_OK, inverter_->Input().EndFlush());
    ASSERT_EQ(S_OK, source_->Pin().DeliverEndOfStream());
    EXPECT_EQ(1, renderer_->endsOfStream);
    for (CDsBaseFilter* filter : {static_cast<CDsBaseFilter*>(source_), static_cast<CDsBaseFilter*>(inverter_),
                                  static_cast<CDsBaseFilter*>(renderer_)})
        ASSERT_EQ(S_OK, filter->Stop());
    EXPECT_EQ(1, inverter_->stops);
    EXPECT_EQ(E_POINTER, renderer_->InputPin().Receive(nullptr));
    EXPECT_TRUE(renderer_->received.size() == 4);
}

TEST_F(BaseLayerTest, TheGraphRunsTheChainToCompletion) {
    IGraphBuilder* graph = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                     reinterpret_cast<void**>(&graph)));
    ASSERT_EQ(S_OK, graph->AddFilter(source_, L"Source"));
    ASSERT_EQ(S_OK, graph->AddFilter(inverter_, L"Inverter"));
    ASSERT_EQ(S_OK, graph->AddFilter(renderer_, L"Renderer"));
    ASSERT_EQ(S_OK, graph->ConnectDirect(&source_->Pin(), &inverter_->Input(), nullptr));
    ASSERT_EQ(S_OK, graph->ConnectDirect(&inverter_->Output(), &renderer_->InputPin(), nullptr));
    IMediaFilter* timing = nullptr;
    ASSERT_EQ(S_OK, graph->QueryInterface(IID_IMediaFilter, reinterpret_cast<void**>(&timing)));
    timing->SetSyncSource(nullptr);
    timing->Release();
    IMediaControl* control = nullptr;
    IMediaEvent* events = nullptr;
    ASSERT_EQ(S_OK, graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control)));
    ASSERT_EQ(S_OK, graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&events)));
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    ASSERT_EQ(S_OK, source_->Send({1, 2, 3}, 0));
    ASSERT_EQ(S_OK, source_->Pin().DeliverEndOfStream());
    // The renderer says it is one, so its end of stream completes the graph.
    long code = 0;
    EXPECT_EQ(S_OK, events->WaitForCompletion(10000, &code));
    EXPECT_EQ(EC_COMPLETE, code);
    EXPECT_EQ(3u, renderer_->received.size());
    // Seeking passes upstream; nobody there answers it.
    IMediaSeeking* seeking = nullptr;
    ASSERT_EQ(S_OK, renderer_->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking)));
    LONGLONG duration = 0;
    EXPECT_EQ(E_NOTIMPL, seeking->GetDuration(&duration));
    seeking->Release();
    control->Stop();
    events->Release();
    control->Release();
    graph->RemoveFilter(source_);
    graph->RemoveFilter(inverter_);
    graph->RemoveFilter(renderer_);
    graph->Release();
}

// An outer object that aggregates a renderer and answers its filter interfaces through it.
class CAggregator final : public IUnknown {
public:
    CAggregator() {
        inner_ = new CTestRenderer(this);
        inner_->NonDelegatingAddRef();
    }
    ~CAggregator() { inner_->NonDelegatingRelease(); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        return inner_->NonDelegatingQueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    ULONG refs_ = 1;
    CTestRenderer* inner_;
};

TEST(DsUnknownTest, AggregatedFilterCountsOnItsOuterObject) {
    auto* outer = new CAggregator();
    IBaseFilter* filter = nullptr;
    ASSERT_EQ(S_OK, outer->QueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(&filter)));
    EXPECT_EQ(2u, outer->refs_);
    IUnknown* identity = nullptr;
    ASSERT_EQ(S_OK, filter->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
    EXPECT_EQ(static_cast<IUnknown*>(outer), identity);
    identity->Release();
    IPin* pin = nullptr;
    ASSERT_EQ(S_OK, filter->FindPin(L"In", &pin));
    EXPECT_EQ(3u, outer->refs_);
    pin->Release();
    filter->Release();
    EXPECT_EQ(0u, outer->Release());
}

TEST(MediaTypeTest, CopiesFreeAndMatch) {
    CMediaType type = TestBytesType();
    type.formattype = FORMAT_WaveFormatEx;
    const BYTE format[4] = {1, 2, 3, 4};
    ASSERT_TRUE(type.SetFormat(format, 4));
    AM_MEDIA_TYPE* copy = CreateMediaTypeCopy(type);
    ASSERT_NE(nullptr, copy);
    EXPECT_NE(type.pbFormat, copy->pbFormat);
    EXPECT_EQ(0, memcmp(format, copy->pbFormat, 4));
    CMediaType partial;
    partial.Clear();
    partial.majortype = MEDIATYPE_Stream;
    EXPECT_TRUE(MediaTypeMatchesPartial(*copy, partial));
    partial.subtype = MEDIASUBTYPE_PCM;
    EXPECT_FALSE(MediaTypeMatchesPartial(*copy, partial));
    EXPECT_TRUE(IsMediaTypeFullySpecified(*copy));
    EXPECT_FALSE(IsMediaTypeFullySpecified(partial));
    DeleteMediaTypeRecord(copy);
}

CDsUnknown* CreateTestRenderer(IUnknown* outer, HRESULT*) { return new CTestRenderer(outer); }

TEST(ClassFactoryTest, CreatesObjectsAndGuardsAggregation) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const LONG before = CDsUnknown::ActiveObjects();
    auto* factory = new CDsClassFactory(CreateTestRenderer);
    IBaseFilter* filter = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IBaseFilter, reinterpret_cast<void**>(&filter)));
    EXPECT_EQ(before + 1, CDsUnknown::ActiveObjects());
    EXPECT_EQ(S_FALSE, CDsClassFactory::CanUnloadNow());
    EXPECT_EQ(0u, filter->Release());
    IUnknown* outer = reinterpret_cast<IUnknown*>(factory);
    void* object = nullptr;
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(outer, IID_IBaseFilter, &object));
    EXPECT_EQ(nullptr, object);
    EXPECT_EQ(before, CDsUnknown::ActiveObjects());
    // A factory a client still holds keeps the server loaded, with or without a lock.
    EXPECT_EQ(S_FALSE, CDsClassFactory::CanUnloadNow());
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    factory->Release();
    EXPECT_EQ(S_FALSE, CDsClassFactory::CanUnloadNow());
    auto* second = new CDsClassFactory(CreateTestRenderer);
    second->LockServer(FALSE);
    EXPECT_EQ(S_FALSE, CDsClassFactory::CanUnloadNow());
    second->Release();
    EXPECT_EQ(S_OK, CDsClassFactory::CanUnloadNow());
    CoUninitialize();
}

}  // namespace
