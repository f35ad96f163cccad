#pragma once
// The filter of the sample dump renderer: one input pin, aggregated by its CDump.

#include "platform/dshow/BaseFilter.h"

class CDump;

class CDumpFilter : public CDsBaseFilter {
public:
    CDumpFilter(CDump* dump, IUnknown* owner, CCriticalSection* lock, HRESULT* hr);

    int GetPinCount() override { return 1; }
    CDsBasePin* GetPin(int index) override;
    // A sink: the graph waits for its end of stream.
    ULONG MiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }

    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;

private:
    CDump* dump_;
};
