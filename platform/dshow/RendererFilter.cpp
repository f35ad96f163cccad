#include "platform/dshow/RendererFilter.h"

#include <new>

CDsRendererInputPin::CDsRendererInputPin(CDsRendererFilter* filter, CCriticalSection* lock, const wchar_t* name)
    : CDsRenderedInputPin(filter, lock, name), renderer_(filter) {}

HRESULT CDsRendererInputPin::CheckMediaType(const AM_MEDIA_TYPE* type) {
    if (type == nullptr) return E_POINTER;
    return renderer_->CheckMediaType(type);
}

HRESULT STDMETHODCALLTYPE CDsRendererInputPin::Receive(IMediaSample* sample) {
    if (sample == nullptr) return E_POINTER;
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    CScopedLock lock(renderer_->ReceiveLock());
    return renderer_->DoRenderSample(sample);
}

HRESULT STDMETHODCALLTYPE CDsRendererInputPin::EndOfStream() {
    {
        CScopedLock lock(renderer_->ReceiveLock());
        if (CheckStreaming() == S_OK) renderer_->OnEndOfStream();
    }
    return CDsRenderedInputPin::EndOfStream();
}

CDsRendererFilter::CDsRendererFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid, const wchar_t* pinName)
    : CDsBaseFilter(name, outer, &filterLock_, clsid), pin_(this, &filterLock_, pinName) {}

CDsRendererFilter::~CDsRendererFilter() { delete position_; }

HRESULT STDMETHODCALLTYPE CDsRendererFilter::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IMediaSeeking) || IsEqualIID(iid, IID_IMediaPosition)) {
        CScopedLock lock(filterLock_);
        if (position_ == nullptr) {
            position_ = new (std::nothrow) CDsPosPassThru(GetOwner(), &pin_);
            if (position_ == nullptr) return E_OUTOFMEMORY;
        }
        return position_->NonDelegatingQueryInterface(iid, object);
    }
    return CDsBaseFilter::NonDelegatingQueryInterface(iid, object);
}

HRESULT STDMETHODCALLTYPE CDsRendererFilter::Stop() {
    CScopedLock lock(filterLock_);
    const HRESULT hr = CDsBaseFilter::Stop();
    CScopedLock receiving(receiveLock_);
    if (streaming_) {
        OnStopStreaming();
        streaming_ = false;
    }
    return hr;
}

HRESULT STDMETHODCALLTYPE CDsRendererFilter::Pause() {
    CScopedLock lock(filterLock_);
    if (IsStopped() && pin_.IsConnected() && !streaming_) {
        const HRESULT hr = OnStartStreaming();
        if (FAILED(hr)) return hr;
        streaming_ = true;
    }
    return CDsBaseFilter::Pause();
}
