#pragma once
// A sink with one input pin that takes each sample as it comes (no clock, no queue) and reports
// the end of the stream to the graph. Required hooks: CheckMediaType, DoRenderSample. Optional:
// OnStartStreaming, OnStopStreaming, OnEndOfStream. Seeking on the filter passes upstream.

#include "platform/dshow/BaseFilter.h"
#include "platform/dshow/PosPassThru.h"
#include "platform/dshow/RenderedInputPin.h"

class CDsRendererFilter;

class CDsRendererInputPin : public CDsRenderedInputPin {
public:
    CDsRendererInputPin(CDsRendererFilter* filter, CCriticalSection* lock, const wchar_t* name);
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
    HRESULT STDMETHODCALLTYPE EndOfStream() override;

private:
    CDsRendererFilter* renderer_;
};

class CDsRendererFilter : public CDsBaseFilter {
public:
    CDsRendererFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid, const wchar_t* pinName = L"In");
    ~CDsRendererFilter() override;

    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;
    int GetPinCount() override { return 1; }
    CDsBasePin* GetPin(int index) override { return index == 0 ? &pin_ : nullptr; }
    ULONG MiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }

    virtual HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT DoRenderSample(IMediaSample* sample) = 0;
    virtual HRESULT OnStartStreaming() { return S_OK; }
    virtual HRESULT OnStopStreaming() { return S_OK; }
    virtual void OnEndOfStream() {}

    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;

    CDsRendererInputPin& InputPin() { return pin_; }
    CCriticalSection& ReceiveLock() { return receiveLock_; }

protected:
    CCriticalSection filterLock_;
    CCriticalSection receiveLock_;

private:
    CDsRendererInputPin pin_;
    CDsPosPassThru* position_ = nullptr;
    bool streaming_ = false;
};
