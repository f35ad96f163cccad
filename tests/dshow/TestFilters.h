#pragma once
// Small filters on the base layer that the tests wire into chains: a push source, an inverting
// transform and a recording renderer.

#include <vector>

#include "platform/dshow/RendererFilter.h"
#include "platform/dshow/TransformFilter.h"

// {A8E3B1C4-2D5F-4E6A-9B7C-1D2E3F405162}: the tests' own media subtype.
const GUID MEDIASUBTYPE_DsTestBytes = {0xA8E3B1C4, 0x2D5F, 0x4E6A, {0x9B, 0x7C, 0x1D, 0x2E, 0x3F, 0x40, 0x51, 0x62}};

CMediaType TestBytesType();

class CTestSource : public CDsBaseFilter {
public:
    class CPin : public CDsOutputPin {
    public:
        CPin(CTestSource* filter, CCriticalSection* lock) : CDsOutputPin(filter, lock, L"Out") {}
        HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
        HRESULT GetMediaType(int position, CMediaType* type) override;
        HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* requested) override;
    };

    CTestSource() : CDsBaseFilter(L"Test source", nullptr, &lock_, GUID_NULL), pin_(this, &lock_) {}
    int GetPinCount() override { return 1; }
    CDsBasePin* GetPin(int index) override { return index == 0 ? &pin_ : nullptr; }
    CPin& Pin() { return pin_; }
    // Sends one sample holding the bytes, with the given start time (and a type change when given).
    HRESULT Send(const std::vector<BYTE>& bytes, REFERENCE_TIME start, const AM_MEDIA_TYPE* changed = nullptr);
    // Offers a type the renderer refuses before the one it takes.
    bool offerRefusedTypeFirst = false;

private:
    CCriticalSection lock_;
    CPin pin_;
};

class CTestInverter : public CDsTransformFilter {
public:
    CTestInverter() : CDsTransformFilter(L"Test inverter", nullptr, GUID_NULL) {}
    HRESULT CheckInputType(const AM_MEDIA_TYPE* input) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) override;
    HRESULT GetOutputType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* requested) override;
    HRESULT Transform(IMediaSample* input, IMediaSample* output) override;
    HRESULT StartStreaming() override {
        ++starts;
        return S_OK;
    }
    HRESULT StopStreaming() override {
        ++stops;
        return S_OK;
    }
    int starts = 0;
    int stops = 0;
};

class CTestRenderer : public CDsRendererFilter {
public:
    explicit CTestRenderer(IUnknown* outer = nullptr) : CDsRendererFilter(L"Test renderer", outer, GUID_NULL) {}
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT DoRenderSample(IMediaSample* sample) override;
    void OnEndOfStream() override { ++endsOfStream; }
    std::vector<BYTE> received;
    // The subtypes of the type changes the samples carried.
    std::vector<GUID> typeChanges;
    std::vector<REFERENCE_TIME> starts;
    int endsOfStream = 0;
};
