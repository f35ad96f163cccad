// The YUY2-to-RGB32 transform: the colour arithmetic, the picture turned over, its media-type
// rules and the whole path from a YUY2 source to an RGB32 sink with the committed frames.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "filters/vandle/Orrick.h"

#include <amvideo.h>
#include <dvdmedia.h>

#include "filters/vandle/VandleIds.h"
#include "platform/dshow/RendererFilter.h"
#include "tests/filters/FilterTestSupport.h"

namespace {

std::vector<BYTE> ReadFixture(const char* name) {
    std::ifstream file(std::string(QB_TEST_DATA_DIR) + "/convert/" + name, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The expected picture written the plain way: row r of the input is row H-1-r of the output.
std::vector<BYTE> ExpectedRgb(const std::vector<BYTE>& yuy2, LONG width, LONG height) {
    std::vector<BYTE> rgb(4 * width * height);
    for (LONG row = 0; row < height; ++row) {
        for (LONG column = 0; column < width; ++column) {
            const BYTE* quad = &yuy2[2 * (row * width + (column & ~1))];
            const RgbPixel pixel = YuvToRgb(quad[(column & 1) ? 2 : 0], quad[1], quad[3]);
            BYTE* out = &rgb[4 * ((height - 1 - row) * width + column)];
            out[0] = pixel.blue;
            out[1] = pixel.green;
            out[2] = pixel.red;
            out[3] = 0;
        }
    }
    return rgb;
}

TEST(YuvToRgbTest, KnownValues) {
    struct Case {
        BYTE y, u, v, red, green, blue;
    };
    const Case cases[] = {
        {16, 128, 128, 18, 13, 18},   {235, 128, 128, 255, 255, 255}, {0, 0, 0, 0, 148, 0},
        {128, 128, 128, 148, 143, 148}, {255, 255, 255, 255, 138, 255}, {81, 90, 240, 255, 12, 17},
    };
    for (const Case& c : cases) {
        const RgbPixel pixel = YuvToRgb(c.y, c.u, c.v);
        EXPECT_EQ(c.red, pixel.red) << int(c.y) << "," << int(c.u) << "," << int(c.v);
        EXPECT_EQ(c.green, pixel.green) << int(c.y) << "," << int(c.u) << "," << int(c.v);
        EXPECT_EQ(c.blue, pixel.blue) << int(c.y) << "," << int(c.u) << "," << int(c.v);
    }
}

class OrrickTest : public ::testing::Test {
protected:
    OrrickTest() : filter_(new COrrick(nullptr)) { filter_->NonDelegatingAddRef(); }
    ~OrrickTest() override { filter_->NonDelegatingRelease(); }
    CComThread com_;
    COrrick* filter_;
};

TEST_F(OrrickTest, OnePairLandsBackInItsPlaceAfterTheRowPass) {
    const BYTE yuy2[8] = {16, 128, 235, 128, 9, 9, 9, 9};
    BYTE rgb[16] = {};
    memset(rgb, 0xEE, sizeof(rgb));
    filter_->SetFrameSize(2, 1);
    EXPECT_EQ(8, filter_->ConvertFrame(yuy2, 8, rgb, sizeof(rgb)));
    const BYTE expected[8] = {18, 13, 18, 0, 255, 255, 255, 0};
    EXPECT_EQ(0, memcmp(expected, rgb, 8));
    // Nothing beyond the frame is written.
    EXPECT_EQ(0xEE, rgb[8]);
}

TEST_F(OrrickTest, ConvertsWholeFramesOnlyAndStopsAtTheOutputBuffer) {
    const std::vector<BYTE> yuy2 = ReadFixture("bars-16x8.yuy2");
    ASSERT_EQ(2u * 16 * 8, yuy2.size());
    filter_->SetFrameSize(16, 8);
    std::vector<BYTE> rgb(2 * 4 * 16 * 8, 0xEE);
    // A frame and some: only the frame is converted.
    std::vector<BYTE> longer = yuy2;
    longer.insert(longer.end(), 64, 0x10);
    ASSERT_EQ(4 * 16 * 8, filter_->ConvertFrame(longer.data(), static_cast<LONG>(longer.size()), rgb.data(),
                                                 static_cast<LONG>(rgb.size())));
    EXPECT_EQ(ExpectedRgb(yuy2, 16, 8), std::vector<BYTE>(rgb.begin(), rgb.begin() + 4 * 16 * 8));
    EXPECT_EQ(0xEE, rgb[4 * 16 * 8]);
    // An output buffer of half a frame is never overrun.
    std::vector<BYTE> half(4 * 16 * 4 + 3, 0xEE);
    EXPECT_EQ(4 * 16 * 4, filter_->ConvertFrame(yuy2.data(), static_cast<LONG>(yuy2.size()), half.data(),
                                                 static_cast<LONG>(half.size()) - 3));
    EXPECT_EQ(0xEE, half[4 * 16 * 4]);
}

CMediaType Yuy2Type(LONG width, LONG height, bool version2) {
    CMediaType type;
    type.majortype = MEDIATYPE_Video;
    type.subtype = MEDIASUBTYPE_YUY2;
    type.bFixedSizeSamples = TRUE;
    type.lSampleSize = 2 * width * height;
    BITMAPINFOHEADER bitmap = {};
    bitmap.biSize = sizeof(BITMAPINFOHEADER);
    bitmap.biWidth = width;
    bitmap.biHeight = height;
    bitmap.biPlanes = 1;
    bitmap.biBitCount = 16;
    bitmap.biCompression = MAKEFOURCC('Y', 'U', 'Y', '2');
    bitmap.biSizeImage = static_cast<DWORD>(2 * width * height);
    if (version2) {
        VIDEOINFOHEADER2 header = {};
        header.rcSource = {0, 0, width, height};
        header.AvgTimePerFrame = 400000;
        header.dwInterlaceFlags = 1;
        header.bmiHeader = bitmap;
        type.formattype = FORMAT_VideoInfo2;
        type.SetFormat(&header, sizeof(header));
    } else {
        VIDEOINFOHEADER header = {};
        header.rcSource = {0, 0, width, height};
        header.AvgTimePerFrame = 400000;
        header.bmiHeader = bitmap;
        type.formattype = FORMAT_VideoInfo;
        type.SetFormat(&header, sizeof(header));
    }
    return type;
}

TEST_F(OrrickTest, InputTypeRules) {
    CMediaType v1 = Yuy2Type(16, 8, false);
    CMediaType v2 = Yuy2Type(16, 8, true);
    EXPECT_EQ(S_OK, filter_->CheckInputType(&v1));
    EXPECT_EQ(S_OK, filter_->CheckInputType(&v2));
    CMediaType rgb = v1;
    rgb.subtype = MEDIASUBTYPE_RGB32;
    CMediaType mpeg = v1;
    mpeg.formattype = FORMAT_MPEGVideo;
    CMediaType truncated = v1;
    truncated.cbFormat = sizeof(VIDEOINFOHEADER) - 1;
    CMediaType noBlock = v2;
    noBlock.cbFormat = 0;
    for (const CMediaType* refused : {&rgb, &mpeg, &truncated, &noBlock})
        EXPECT_EQ(VFW_E_TYPE_NOT_ACCEPTED, filter_->CheckInputType(refused));
    EXPECT_EQ(E_POINTER, filter_->CheckTransform(nullptr, &v1));
    CMediaType waveOut = v1;
    waveOut.formattype = FORMAT_WaveFormatEx;
    EXPECT_EQ(VFW_E_TYPE_NOT_ACCEPTED, filter_->CheckTransform(&v1, &waveOut));
    // A VIDEOINFOHEADER2 output needs both blocks of that size.
    EXPECT_EQ(E_INVALIDARG, filter_->CheckTransform(&v1, &v2));
    EXPECT_EQ(S_OK, filter_->CheckTransform(&v2, &v2));
    EXPECT_EQ(S_OK, filter_->CheckTransform(&v2, &v1));
}

// A push source of one fixed YUY2 type.
class CYuy2Source : public CDsBaseFilter {
public:
    class CPin : public CDsOutputPin {
    public:
        CPin(CYuy2Source* filter, CCriticalSection* lock) : CDsOutputPin(filter, lock, L"Out"), owner_(filter) {}
        HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override {
            return IsEqualGUID(type->subtype, owner_->type_.subtype) && IsEqualGUID(type->formattype, owner_->type_.formattype) ? S_OK : S_FALSE;
        }
        HRESULT GetMediaType(int position, CMediaType* type) override {
            if (position > 0) return VFW_S_NO_MORE_ITEMS;
            return type->Set(owner_->type_);
        }
        HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* requested) override {
            return SetAllocatorAtLeast(allocator, *requested, 1, owner_->type_.lSampleSize);
        }

    private:
        CYuy2Source* owner_;
    };

    explicit CYuy2Source(const CMediaType& type) : CDsBaseFilter(L"YUY2 source", nullptr, &lock_, GUID_NULL), pin_(this, &lock_), type_(type) {}
    int GetPinCount() override { return 1; }
    CDsBasePin* GetPin(int index) override { return index == 0 ? &pin_ : nullptr; }
    CPin& Pin() { return pin_; }
    HRESULT Send(const std::vector<BYTE>& bytes, REFERENCE_TIME start) {
        IMediaSample* sample = nullptr;
        HRESULT hr = pin_.GetDeliveryBuffer(&sample);
        if (FAILED(hr)) return hr;
        BYTE* buffer = nullptr;
        sample->GetPointer(&buffer);
        memcpy(buffer, bytes.data(), bytes.size());
        sample->SetActualDataLength(static_cast<LONG>(bytes.size()));
        REFERENCE_TIME stop = start + 400000;
        sample->SetTime(&start, &stop);
        sample->SetSyncPoint(TRUE);
        hr = pin_.Deliver(sample);
        sample->Release();
        return hr;
    }

private:
    CCriticalSection lock_;
    CPin pin_;
    CMediaType type_;
};

// Keeps what arrives as RGB32.
class CRgbSink : public CDsRendererFilter {
public:
    CRgbSink() : CDsRendererFilter(L"RGB sink", nullptr, GUID_NULL) {}
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override {
        return IsEqualGUID(type->subtype, MEDIASUBTYPE_RGB32) ? S_OK : S_FALSE;
    }
    HRESULT DoRenderSample(IMediaSample* sample) override {
        BYTE* bytes = nullptr;
        sample->GetPointer(&bytes);
        received.assign(bytes, bytes + sample->GetActualDataLength());
        REFERENCE_TIME stop = 0;
        sample->GetTime(&start, &stop);
        syncPoint = sample->IsSyncPoint() == S_OK;
        return S_OK;
    }
    std::vector<BYTE> received;
    REFERENCE_TIME start = -1;
    bool syncPoint = false;
};

struct ChainCase {
    const char* fixture;
    LONG width;
    LONG height;
    bool version2;
};

class OrrickChainTest : public ::testing::TestWithParam<ChainCase> {};

TEST_P(OrrickChainTest, TurnsAFixtureFrameIntoTheExpectedRgb32Frame) {
    CComThread com;
    const ChainCase& c = GetParam();
    const std::vector<BYTE> yuy2 = ReadFixture(c.fixture);
    ASSERT_EQ(static_cast<size_t>(2 * c.width * c.height), yuy2.size());
    auto* source = new CYuy2Source(Yuy2Type(c.width, c.height, c.version2));
    auto* orrick = new COrrick(nullptr);
    auto* sink = new CRgbSink();
    for (CDsUnknown* object : std::initializer_list<CDsUnknown*>{source, orrick, sink}) object->NonDelegatingAddRef();

    // Unconnected, nothing is proposed and no buffers are asked for.
    CMediaType proposed;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, orrick->Output().GetMediaType(0, &proposed));
    ALLOCATOR_PROPERTIES wishes = {};
    IMemAllocator* allocator = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                     reinterpret_cast<void**>(&allocator)));
    EXPECT_EQ(E_UNEXPECTED, orrick->DecideBufferSize(allocator, &wishes));
    EXPECT_EQ(E_POINTER, orrick->DecideBufferSize(nullptr, &wishes));

    ASSERT_EQ(S_OK, source->Pin().Connect(&orrick->Input(), nullptr));
    ASSERT_EQ(S_OK, orrick->Output().GetMediaType(0, &proposed));
    EXPECT_EQ(VFW_S_NO_MORE_ITEMS, orrick->Output().GetMediaType(1, &proposed));
    ASSERT_EQ(S_OK, orrick->Output().GetMediaType(0, &proposed));
    EXPECT_TRUE(IsEqualGUID(FORMAT_VideoInfo, proposed.formattype));
    EXPECT_TRUE(IsEqualGUID(MEDIASUBTYPE_RGB32, proposed.subtype));
    ASSERT_EQ(sizeof(VIDEOINFOHEADER), proposed.cbFormat);
    const auto* header = reinterpret_cast<const VIDEOINFOHEADER*>(proposed.pbFormat);
    EXPECT_EQ(32, header->bmiHeader.biBitCount);
    EXPECT_EQ(static_cast<DWORD>(BI_RGB), header->bmiHeader.biCompression);
    EXPECT_EQ(static_cast<DWORD>(4 * c.width * c.height), header->bmiHeader.biSizeImage);
    EXPECT_EQ(400000, header->AvgTimePerFrame);

    ASSERT_EQ(S_OK, orrick->Output().Connect(&sink->InputPin(), nullptr));
    for (CDsBaseFilter* filter : std::initializer_list<CDsBaseFilter*>{sink, orrick, source}) ASSERT_EQ(S_OK, filter->Pause());
    ASSERT_EQ(S_OK, source->Send(yuy2, 1200000));
    EXPECT_EQ(ExpectedRgb(yuy2, c.width, c.height), sink->received);
    EXPECT_EQ(1200000, sink->start);
    EXPECT_TRUE(sink->syncPoint);
    for (CDsBaseFilter* filter : std::initializer_list<CDsBaseFilter*>{source, orrick, sink}) filter->Stop();

    allocator->Release();
    source->Pin().Disconnect();
    orrick->Input().Disconnect();
    orrick->Output().Disconnect();
    sink->InputPin().Disconnect();
    for (CDsUnknown* object : std::initializer_list<CDsUnknown*>{source, orrick, sink}) object->NonDelegatingRelease();
}

INSTANTIATE_TEST_SUITE_P(Fixtures, OrrickChainTest,
                         ::testing::Values(ChainCase{"bars-16x8.yuy2", 16, 8, false},
                                           ChainCase{"bars-16x8.yuy2", 16, 8, true},
                                           ChainCase{"testsrc-32x6.yuy2", 32, 6, false}));

TEST_F(OrrickTest, AnswersItsOwnIdentifierAndOneUsablePage) {
    IUnknown* self = nullptr;
    ASSERT_EQ(S_OK, filter_->QueryInterface(IID_IOrrick, reinterpret_cast<void**>(&self)));
    IBaseFilter* base = nullptr;
    ASSERT_EQ(S_OK, filter_->QueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(&base)));
    EXPECT_EQ(static_cast<IUnknown*>(base), self);
    IPin* pin = nullptr;
    for (const wchar_t* id : {L"In", L"Out"}) {
        EXPECT_EQ(S_OK, base->FindPin(id, &pin)) << id;
        if (pin != nullptr) pin->Release();
    }
    base->Release();
    self->Release();
    ISpecifyPropertyPages* specify = nullptr;
    ASSERT_EQ(S_OK, filter_->QueryInterface(IID_ISpecifyPropertyPages, reinterpret_cast<void**>(&specify)));
    EXPECT_EQ(E_POINTER, specify->GetPages(nullptr));
    CAUUID pages = {};
    ASSERT_EQ(S_OK, specify->GetPages(&pages));
    ASSERT_EQ(1u, pages.cElems);
    EXPECT_TRUE(IsEqualGUID(CLSID_OrrickProperties, pages.pElems[0]));
    CoTaskMemFree(pages.pElems);
    specify->Release();
}

}  // namespace
