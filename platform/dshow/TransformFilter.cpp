#include "platform/dshow/TransformFilter.h"

#include <new>

CDsTransformInputPin::CDsTransformInputPin(CDsTransformFilter* filter, CCriticalSection* lock, const wchar_t* name)
    : CDsInputPin(filter, lock, name), transform_(filter) {}

HRESULT CDsTransformInputPin::CheckMediaType(const AM_MEDIA_TYPE* type) {
    if (type == nullptr) return E_POINTER;
    return transform_->CheckInputType(type);
}

HRESULT STDMETHODCALLTYPE CDsTransformInputPin::Receive(IMediaSample* sample) {
    if (sample == nullptr) return E_POINTER;
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    return transform_->ProcessSample(sample);
}

HRESULT STDMETHODCALLTYPE CDsTransformInputPin::EndOfStream() {
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    return transform_->Output().DeliverEndOfStream();
}

HRESULT STDMETHODCALLTYPE CDsTransformInputPin::BeginFlush() {
    CDsInputPin::BeginFlush();
    return transform_->Output().IsConnected() ? transform_->Output().DeliverBeginFlush() : S_OK;
}

HRESULT STDMETHODCALLTYPE CDsTransformInputPin::EndFlush() {
    CDsInputPin::EndFlush();
    return transform_->Output().IsConnected() ? transform_->Output().DeliverEndFlush() : S_OK;
}

HRESULT STDMETHODCALLTYPE CDsTransformInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    CDsInputPin::NewSegment(start, stop, rate);
    return transform_->Output().IsConnected() ? transform_->Output().DeliverNewSegment(start, stop, rate) : S_OK;
}

CDsTransformOutputPin::CDsTransformOutputPin(CDsTransformFilter* filter, CCriticalSection* lock, const wchar_t* name)
    : CDsOutputPin(filter, lock, name), transform_(filter) {}

CDsTransformOutputPin::~CDsTransformOutputPin() { delete position_; }

HRESULT CDsTransformOutputPin::PinQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IMediaSeeking) || IsEqualIID(iid, IID_IMediaPosition)) {
        if (position_ == nullptr) {
            position_ = new (std::nothrow) CDsPosPassThru(static_cast<IPin*>(this), &transform_->Input());
            if (position_ == nullptr) return E_OUTOFMEMORY;
        }
        return position_->NonDelegatingQueryInterface(iid, object);
    }
    return CDsOutputPin::PinQueryInterface(iid, object);
}

HRESULT CDsTransformOutputPin::CheckMediaType(const AM_MEDIA_TYPE* type) {
    if (type == nullptr) return E_POINTER;
    if (!transform_->Input().IsConnected()) return VFW_E_NOT_CONNECTED;
    return transform_->CheckTransform(&transform_->Input().CurrentMediaType(), type);
}

HRESULT CDsTransformOutputPin::GetMediaType(int position, CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    if (!transform_->Input().IsConnected()) return VFW_E_NOT_CONNECTED;
    return transform_->GetOutputType(position, type);
}

HRESULT CDsTransformOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* requested) {
    return transform_->DecideBufferSize(allocator, requested);
}

CDsTransformFilter::CDsTransformFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid, const wchar_t* inputName,
                                       const wchar_t* outputName)
    : CDsBaseFilter(name, outer, &filterLock_, clsid),
      input_(this, &filterLock_, inputName),
      output_(this, &filterLock_, outputName) {}

CDsBasePin* CDsTransformFilter::GetPin(int index) {
    if (index == 0) return &input_;
    if (index == 1) return &output_;
    return nullptr;
}

HRESULT STDMETHODCALLTYPE CDsTransformFilter::Stop() {
    CScopedLock lock(filterLock_);
    const HRESULT hr = CDsBaseFilter::Stop();
    // Samples in flight finish before streaming state goes.
    CScopedLock receiving(receiveLock_);
    if (streaming_) {
        StopStreaming();
        streaming_ = false;
    }
    return hr;
}

HRESULT STDMETHODCALLTYPE CDsTransformFilter::Pause() {
    CScopedLock lock(filterLock_);
    if (IsStopped() && input_.IsConnected() && output_.IsConnected() && !streaming_) {
        const HRESULT hr = StartStreaming();
        if (FAILED(hr)) return hr;
        streaming_ = true;
    }
    return CDsBaseFilter::Pause();
}

HRESULT CDsTransformFilter::ProcessSample(IMediaSample* sample) {
    CScopedLock lock(receiveLock_);
    if (!output_.IsConnected()) return VFW_E_NOT_CONNECTED;
    IMediaSample* out = nullptr;
    HRESULT hr = output_.GetDeliveryBuffer(&out);
    if (FAILED(hr)) return hr;
    REFERENCE_TIME start = 0, stop = 0;
    const HRESULT timed = sample->GetTime(&start, &stop);
    if (timed == S_OK) {
        out->SetTime(&start, &stop);
    } else if (timed == VFW_S_NO_STOP_TIME) {
        out->SetTime(&start, nullptr);
    } else {
        out->SetTime(nullptr, nullptr);
    }
    LONGLONG mediaStart = 0, mediaStop = 0;
    if (sample->GetMediaTime(&mediaStart, &mediaStop) == S_OK) out->SetMediaTime(&mediaStart, &mediaStop);
    out->SetSyncPoint(sample->IsSyncPoint() == S_OK);
    out->SetDiscontinuity(sample->IsDiscontinuity() == S_OK);
    out->SetPreroll(sample->IsPreroll() == S_OK);
    // A change of type travels with the sample that carries it.
    AM_MEDIA_TYPE* changed = nullptr;
    if (sample->GetMediaType(&changed) == S_OK && changed != nullptr) {
        out->SetMediaType(changed);
        DeleteMediaTypeRecord(changed);
    }
    hr = Transform(sample, out);
    if (hr == S_OK) hr = output_.Deliver(out);
    else if (hr == S_FALSE) hr = S_OK;
    out->Release();
    return hr;
}
