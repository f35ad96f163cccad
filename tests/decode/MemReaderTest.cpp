#include "library/media/decode/MemReader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/dshow/BaseFilter.h"
#include "platform/dshow/BasePin.h"

namespace {

const LONGLONG kUnits = 10000000;  // reference time per byte of a byte stream

// A downstream filter whose one input pin pulls, asking for IAsyncReader or not.
class CPullSinkFilter : public CDsBaseFilter {
public:
    class CPullPin : public CDsBasePin {
    public:
        CPullPin(CPullSinkFilter* filter, CCriticalSection* lock) : CDsBasePin(filter, lock, L"In", PINDIR_INPUT) {}
        HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override {
            return IsEqualGUID(type->majortype, MEDIATYPE_Stream) ? S_OK : S_FALSE;
        }
        HRESULT CompleteConnect(IPin* peer) override {
            if (!askForReader) return S_OK;
            return peer->QueryInterface(IID_IAsyncReader, reinterpret_cast<void**>(&reader));
        }
        HRESULT BreakConnect() override {
            if (reader != nullptr) reader->Release();
            reader = nullptr;
            return S_OK;
        }
        bool askForReader = true;
        IAsyncReader* reader = nullptr;
    };

    CPullSinkFilter() : CDsBaseFilter(L"Pull sink", nullptr, &lock_, GUID_NULL), pin_(this, &lock_) {}
    ~CPullSinkFilter() override { pin_.BreakConnect(); }
    int GetPinCount() override { return 1; }
    CDsBasePin* GetPin(int index) override { return index == 0 ? &pin_ : nullptr; }
    CPullPin& Pin() { return pin_; }

private:
    CCriticalSection lock_;
    CPullPin pin_;
};

class MemReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        data_.resize(1000);
        for (size_t i = 0; i < data_.size(); ++i) data_[i] = static_cast<uint8_t>(i * 7);
        auto* copy = new BYTE[data_.size()];
        std::memcpy(copy, data_.data(), data_.size());
        stream_ = new CMemStream(copy, static_cast<LONGLONG>(data_.size()));
        CMediaType type;
        type.majortype = MEDIATYPE_Stream;
        type.subtype = MEDIASUBTYPE_MPEG1Audio;
        HRESULT hr = E_FAIL;
        reader_ = new CMemReader(stream_, type, &hr);
        ASSERT_EQ(S_OK, hr);
        reader_->AddRef();
        sink_ = new CPullSinkFilter();
        sink_->AddRef();
    }
    void TearDown() override {
        if (allocator_ != nullptr) {
            allocator_->Decommit();
            allocator_->Release();
        }
        reader_->GetPin(0)->Disconnect();
        sink_->Pin().Disconnect();
        sink_->Release();
        reader_->Release();
        delete stream_;
        CoUninitialize();
    }

    IAsyncReader* Connect() {
        EXPECT_EQ(S_OK, reader_->GetPin(0)->Connect(&sink_->Pin(), nullptr));
        return sink_->Pin().reader;
    }

    IMediaSample* Sample(IAsyncReader* reader, LONGLONG position, LONGLONG length) {
        if (allocator_ == nullptr) {
            ALLOCATOR_PROPERTIES wanted = {2, 512, 1, 0};
            EXPECT_EQ(S_OK, reader->RequestAllocator(nullptr, &wanted, &allocator_));
            EXPECT_EQ(S_OK, allocator_->Commit());
        }
        IMediaSample* sample = nullptr;
        EXPECT_EQ(S_OK, allocator_->GetBuffer(&sample, nullptr, nullptr, 0));
        REFERENCE_TIME start = position * kUnits, stop = (position + length) * kUnits;
        sample->SetTime(&start, &stop);
        return sample;
    }

    std::vector<uint8_t> data_;
    CMemStream* stream_ = nullptr;
    CMemReader* reader_ = nullptr;
    CPullSinkFilter* sink_ = nullptr;
    IMemAllocator* allocator_ = nullptr;
};

TEST_F(MemReaderTest, OffersOneOutputPinWithItsType) {
    EXPECT_EQ(1, reader_->GetPinCount());
    EXPECT_EQ(nullptr, reader_->GetPin(1));
    IPin* pin = nullptr;
    ASSERT_EQ(S_OK, reader_->FindPin(L"Output", &pin));
    CMediaType type;
    type.majortype = MEDIATYPE_Stream;
    type.subtype = MEDIASUBTYPE_MPEG1Audio;
    EXPECT_EQ(S_OK, pin->QueryAccept(&type));
    type.subtype = MEDIASUBTYPE_WAVE;
    EXPECT_EQ(S_FALSE, pin->QueryAccept(&type));
    type.majortype = MEDIATYPE_Audio;
    type.subtype = MEDIASUBTYPE_MPEG1Audio;
    EXPECT_EQ(S_FALSE, pin->QueryAccept(&type));
    CMediaType offered;
    EXPECT_EQ(S_OK, reader_->GetPin(0)->GetMediaType(0, &offered));
    EXPECT_TRUE(IsEqualGUID(MEDIASUBTYPE_MPEG1Audio, offered.subtype));
    EXPECT_EQ(VFW_S_NO_MORE_ITEMS, reader_->GetPin(0)->GetMediaType(1, &offered));
    EXPECT_EQ(E_INVALIDARG, reader_->GetPin(0)->GetMediaType(-1, &offered));
    pin->Release();
}

TEST_F(MemReaderTest, APinThatDoesNotPullIsRefused) {
    sink_->Pin().askForReader = false;
    EXPECT_EQ(VFW_E_NO_TRANSPORT, reader_->GetPin(0)->Connect(&sink_->Pin(), nullptr));
    EXPECT_FALSE(reader_->GetPin(0)->IsConnected());
    EXPECT_FALSE(sink_->Pin().IsConnected());
}

TEST_F(MemReaderTest, ServesRequestsInOrder) {
    IAsyncReader* reader = Connect();
    ASSERT_NE(nullptr, reader);
    LONGLONG total = 0, available = 0;
    ASSERT_EQ(S_OK, reader->Length(&total, &available));
    EXPECT_EQ(1000, total);
    EXPECT_EQ(1000, available);

    IMediaSample* first = Sample(reader, 0, 300);
    IMediaSample* second = Sample(reader, 300, 300);
    ASSERT_EQ(S_OK, reader->Request(first, 11));
    ASSERT_EQ(S_OK, reader->Request(second, 22));
    for (int i = 0; i < 2; ++i) {
        IMediaSample* done = nullptr;
        DWORD_PTR user = 0;
        ASSERT_EQ(S_OK, reader->WaitForNext(5000, &done, &user));
        EXPECT_EQ(i == 0 ? first : second, done);
        EXPECT_EQ(i == 0 ? 11u : 22u, user);
        EXPECT_EQ(300, done->GetActualDataLength());
        BYTE* bytes = nullptr;
        done->GetPointer(&bytes);
        EXPECT_EQ(0, std::memcmp(bytes, data_.data() + 300 * i, 300));
        done->Release();
    }
}

TEST_F(MemReaderTest, ARequestPastTheEndIsShortened) {
    IAsyncReader* reader = Connect();
    ASSERT_NE(nullptr, reader);
    IMediaSample* sample = Sample(reader, 800, 500);
    ASSERT_EQ(S_OK, reader->Request(sample, 0));
    REFERENCE_TIME start = 0, stop = 0;
    sample->GetTime(&start, &stop);
    EXPECT_EQ(1000 * kUnits, stop);
    IMediaSample* done = nullptr;
    DWORD_PTR user = 0;
    // A short read that stops at the end of the stream is a success.
    ASSERT_EQ(S_OK, reader->WaitForNext(5000, &done, &user));
    EXPECT_EQ(200, done->GetActualDataLength());
    done->Release();
}

TEST_F(MemReaderTest, FlushingRefusesRequestsAndEndsWaits) {
    IAsyncReader* reader = Connect();
    ASSERT_NE(nullptr, reader);
    IMediaSample* done = nullptr;
    DWORD_PTR user = 0;
    EXPECT_EQ(VFW_E_TIMEOUT, reader->WaitForNext(0, &done, &user));

    ASSERT_EQ(S_OK, reader->BeginFlush());
    IMediaSample* sample = Sample(reader, 0, 100);
    EXPECT_EQ(VFW_E_WRONG_STATE, reader->Request(sample, 0));
    EXPECT_EQ(VFW_E_WRONG_STATE, reader->WaitForNext(1000, &done, &user));
    EXPECT_EQ(nullptr, done);
    ASSERT_EQ(S_OK, reader->EndFlush());
    EXPECT_EQ(VFW_E_TIMEOUT, reader->WaitForNext(0, &done, &user));
    // After the flush the reader serves again.
    ASSERT_EQ(S_OK, reader->Request(sample, 5));
    ASSERT_EQ(S_OK, reader->WaitForNext(5000, &done, &user));
    EXPECT_EQ(sample, done);
    done->Release();
}

TEST_F(MemReaderTest, SynchronousReads) {
    IAsyncReader* reader = Connect();
    ASSERT_NE(nullptr, reader);
    BYTE bytes[33] = {};
    ASSERT_EQ(S_OK, reader->SyncRead(17, 33, bytes));
    EXPECT_EQ(0, std::memcmp(bytes, data_.data() + 17, 33));
    // Past the end: what there is, reported as short.
    EXPECT_EQ(S_FALSE, reader->SyncRead(990, 20, bytes));
    IMediaSample* sample = Sample(reader, 100, 50);
    ASSERT_EQ(S_OK, reader->SyncReadAligned(sample));
    EXPECT_EQ(50, sample->GetActualDataLength());
    sample->Release();
}

TEST(MemStreamTest, PositionsReadsAndPacing) {
    CMemStream stream(new BYTE[10]{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 10);
    EXPECT_EQ(S_FALSE, stream.SetPointer(-1));
    EXPECT_EQ(S_FALSE, stream.SetPointer(11));
    EXPECT_EQ(S_OK, stream.SetPointer(10));
    ASSERT_EQ(S_OK, stream.SetPointer(7));
    BYTE bytes[10] = {};
    DWORD read = 0;
    ASSERT_EQ(S_OK, stream.Read(bytes, 10, FALSE, &read));
    EXPECT_EQ(3u, read);
    EXPECT_EQ(9, bytes[2]);
    EXPECT_EQ(1u, stream.Alignment());

    // Paced at 1 KB/s, a megabyte is not all there yet.
    CMemStream paced(new BYTE[1 << 20](), 1 << 20, 1);
    LONGLONG available = 0;
    EXPECT_EQ(1 << 20, paced.Size(&available));
    EXPECT_LT(available, 1 << 20);
}

}  // namespace
