#include "filters/tembric/Tembric.h"


CTembric::CTembric(IUnknown* outer) : CDsRendererFilter(L"No Audio Signal Detector", outer, CLSID_Tembric, L"In") {}

HRESULT STDMETHODCALLTYPE CTembric::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_ITembricResult)) return GetInterface(static_cast<ITembricResult*>(this), object);
    return CDsRendererFilter::NonDelegatingQueryInterface(iid, object);
}

HRESULT CTembric::CheckMediaType(const AM_MEDIA_TYPE* type) {
    if (type == nullptr) return E_POINTER;
    const bool pcm = IsEqualGUID(type->majortype, MEDIATYPE_Audio) && IsEqualGUID(type->formattype, FORMAT_WaveFormatEx) &&
                     IsEqualGUID(type->subtype, MEDIASUBTYPE_PCM);
    return pcm ? S_OK : S_FALSE;
}

HRESULT CTembric::DoRenderSample(IMediaSample* sample) {
    if (!silent_ && count_ > 0) return S_OK;
    const LONG length = sample->GetActualDataLength();
    if (length <= 0) return S_OK;
    BYTE* data = nullptr;
    const HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    Scan(data, length);
    return hr;
}

void CTembric::Scan(const BYTE* data, LONG length) {
    if (!silent_ && count_ > 0) return;
    // Whole 16-bit values only: an odd last byte belongs to no value and is left alone.
    for (LONG offset = 0; length - offset >= 2; offset += 2) {
        count_ = count_ + 2;
        const SHORT value = static_cast<SHORT>(data[offset] | (data[offset + 1] << 8));
        if (value != 0) {
            silent_ = FALSE;
            break;
        }
    }
}

HRESULT STDMETHODCALLTYPE CTembric::Reset() {
    silent_ = TRUE;
    count_ = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTembric::GetResult(HRESULT* verdict) {
    if (verdict == nullptr) return E_POINTER;
    if (!silent_) {
        *verdict = E_FAIL;
    } else {
        *verdict = static_cast<DWORD>(count_) < kTembricSilentBytes ? S_FALSE : S_OK;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTembric::GetCount(DWORD* count) {
    if (count == nullptr) return E_POINTER;
    *count = static_cast<DWORD>(count_);
    return S_OK;
}
