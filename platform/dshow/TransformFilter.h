#pragma once
// A filter with one input and one output pin that turns each input sample into one output sample.
// Required hooks: CheckInputType, CheckTransform, GetOutputType, DecideBufferSize, Transform.
// Optional: StartStreaming, StopStreaming. Seeking on the output pin passes upstream.

#include "platform/dshow/BaseFilter.h"
#include "platform/dshow/InputPin.h"
#include "platform/dshow/OutputPin.h"
#include "platform/dshow/PosPassThru.h"

class CDsTransformFilter;

class CDsTransformInputPin : public CDsInputPin {
public:
    CDsTransformInputPin(CDsTransformFilter* filter, CCriticalSection* lock, const wchar_t* name);
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
    HRESULT STDMETHODCALLTYPE EndOfStream() override;
    HRESULT STDMETHODCALLTYPE BeginFlush() override;
    HRESULT STDMETHODCALLTYPE EndFlush() override;
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

private:
    CDsTransformFilter* transform_;
};

class CDsTransformOutputPin : public CDsOutputPin {
public:
    CDsTransformOutputPin(CDsTransformFilter* filter, CCriticalSection* lock, const wchar_t* name);
    ~CDsTransformOutputPin() override;
    HRESULT PinQueryInterface(REFIID iid, void** object) override;
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* requested) override;

private:
    CDsTransformFilter* transform_;
    CDsPosPassThru* position_ = nullptr;
};

class CDsTransformFilter : public CDsBaseFilter {
public:
    CDsTransformFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid, const wchar_t* inputName = L"XForm In",
                       const wchar_t* outputName = L"XForm Out");

    int GetPinCount() override { return 2; }
    CDsBasePin* GetPin(int index) override;

    virtual HRESULT CheckInputType(const AM_MEDIA_TYPE* input) = 0;
    virtual HRESULT CheckTransform(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) = 0;
    // The output types on offer, derived from the connected input type.
    virtual HRESULT GetOutputType(int position, CMediaType* type) = 0;
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* requested) = 0;
    // Fills output from input; S_FALSE drops the sample.
    virtual HRESULT Transform(IMediaSample* input, IMediaSample* output) = 0;
    virtual HRESULT StartStreaming() { return S_OK; }
    virtual HRESULT StopStreaming() { return S_OK; }

    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;

    CDsTransformInputPin& Input() { return input_; }
    CDsTransformOutputPin& Output() { return output_; }

    // Called by the input pin for every sample.
    HRESULT ProcessSample(IMediaSample* sample);

protected:
    CCriticalSection filterLock_;
    CCriticalSection receiveLock_;

private:
    CDsTransformInputPin input_;
    CDsTransformOutputPin output_;
    bool streaming_ = false;
};
