#pragma once
// The input pin ("Input") of the sample dump renderer: takes PCM and hands it to the receiver.

#include "platform/dshow/RenderedInputPin.h"

class CDump;

class CDumpInputPin : public CDsRenderedInputPin {
public:
    CDumpInputPin(CDump* dump, CDsBaseFilter* filter, CCriticalSection* lock, CCriticalSection* receiveLock, HRESULT* hr);

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
    HRESULT STDMETHODCALLTYPE EndOfStream() override;
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

private:
    CDump* dump_;
    CCriticalSection* receiveLock_;
    REFERENCE_TIME lastSampleTime_ = 0;
};
