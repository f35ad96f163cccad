#include "platform/dshow/RenderedInputPin.h"

#include <evcode.h>

#include "platform/dshow/BaseFilter.h"

CDsRenderedInputPin::CDsRenderedInputPin(CDsBaseFilter* filter, CCriticalSection* lock, const wchar_t* name)
    : CDsInputPin(filter, lock, name) {}

HRESULT STDMETHODCALLTYPE CDsRenderedInputPin::EndOfStream() {
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    CScopedLock lock(completionLock_);
    atEndOfStream_ = true;
    if (Filter()->IsRunning()) DeliverCompletion();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDsRenderedInputPin::EndFlush() {
    CScopedLock lock(completionLock_);
    atEndOfStream_ = false;
    completionSent_ = false;
    return CDsInputPin::EndFlush();
}

HRESULT CDsRenderedInputPin::Active() {
    CScopedLock lock(completionLock_);
    atEndOfStream_ = false;
    completionSent_ = false;
    return CDsInputPin::Active();
}

HRESULT CDsRenderedInputPin::Run(REFERENCE_TIME start) {
    CScopedLock lock(completionLock_);
    if (atEndOfStream_) DeliverCompletion();
    return CDsInputPin::Run(start);
}

void CDsRenderedInputPin::DeliverCompletion() {
    if (completionSent_) return;
    completionSent_ = true;
    Filter()->NotifyEvent(EC_COMPLETE, S_OK, 0);
}
