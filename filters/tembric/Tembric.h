#pragma once
// A renderer that only looks at 16-bit PCM audio and tells whether any value was non-zero.

#include "filters/tembric/ITembricResult.h"
#include "platform/dshow/RendererFilter.h"

class CTembric : public CDsRendererFilter, public ITembricResult {
public:
    explicit CTembric(IUnknown* outer);

    QB_DS_DELEGATING_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT DoRenderSample(IMediaSample* sample) override;

    // ITembricResult
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE GetResult(HRESULT* verdict) override;
    HRESULT STDMETHODCALLTYPE GetCount(DWORD* count) override;

    // The scan of one buffer, apart from the sample that carries it.
    void Scan(const BYTE* data, LONG length);

private:
    // Written by the streaming thread, read by the poller: 32-bit values, no lock.
    volatile LONG silent_ = TRUE;
    volatile LONG count_ = 0;
};
