#include "library/media/decode/DumpInputPin.h"

#include <cguid.h>

#include "library/media/decode/Dump.h"

CDumpInputPin::CDumpInputPin(CDump* dump, CDsBaseFilter* filter, CCriticalSection* lock, CCriticalSection* receiveLock,
                             HRESULT*)
    : CDsRenderedInputPin(filter, lock, L"Input"), dump_(dump), receiveLock_(receiveLock) {}

HRESULT CDumpInputPin::CheckMediaType(const AM_MEDIA_TYPE* type) {
    if (type == nullptr) return E_POINTER;
    if (!IsEqualGUID(type->formattype, FORMAT_WaveFormatEx)) return S_FALSE;
    if (IsEqualGUID(type->subtype, MEDIASUBTYPE_PCM) || IsEqualGUID(type->subtype, MEDIASUBTYPE_WAVE)) return S_OK;
    return S_FALSE;
}

HRESULT CDumpInputPin::GetMediaType(int position, CMediaType* type) {
    if (type == nullptr) return E_POINTER;
    if (position != 0) return VFW_S_NO_MORE_ITEMS;
    type->Clear();
    type->majortype = MEDIATYPE_Stream;
    type->subtype = MEDIASUBTYPE_WAVE;
    type->formattype = GUID_NULL;
    return S_OK;
}

// Samples go to the receiver at once, whatever the pin's state: the receiver sets the pace.
HRESULT STDMETHODCALLTYPE CDumpInputPin::Receive(IMediaSample* sample) {
    if (sample == nullptr) return E_POINTER;
    CScopedLock lock(*receiveLock_);
    REFERENCE_TIME start = 0, stop = 0;
    if (SUCCEEDED(sample->GetTime(&start, &stop))) lastSampleTime_ = start;
    if (ISampleReceiver2* receiver = dump_->Receiver()) receiver->OnSample(sample);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDumpInputPin::EndOfStream() {
    CScopedLock lock(*receiveLock_);
    if (ISampleReceiver2* receiver = dump_->Receiver()) receiver->OnEndOfStream();
    return CDsRenderedInputPin::EndOfStream();
}

HRESULT STDMETHODCALLTYPE CDumpInputPin::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) {
    lastSampleTime_ = 0;
    return S_OK;
}
