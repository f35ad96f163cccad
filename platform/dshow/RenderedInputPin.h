#pragma once
// An input pin that ends a stream: its end of stream becomes the filter's EC_COMPLETE, sent when
// the filter runs (at once, or on the next run when the end came while paused).

#include "platform/dshow/InputPin.h"

class CDsRenderedInputPin : public CDsInputPin {
public:
    CDsRenderedInputPin(CDsBaseFilter* filter, CCriticalSection* lock, const wchar_t* name);

    HRESULT STDMETHODCALLTYPE EndOfStream() override;
    HRESULT STDMETHODCALLTYPE EndFlush() override;
    HRESULT Active() override;
    HRESULT Run(REFERENCE_TIME start) override;

private:
    void DeliverCompletion();

    CCriticalSection completionLock_;
    bool atEndOfStream_ = false;
    bool completionSent_ = false;
};
