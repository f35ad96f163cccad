#pragma once
// A pin enumerator over a snapshot of a filter's pins, taken at creation.

#include <windows.h>
#include "platform/dshow/DShow.h"

#include <atomic>
#include <vector>

class CDsBaseFilter;

class CDsEnumPins final : public IEnumPins {
public:
    static HRESULT Create(CDsBaseFilter* filter, IEnumPins** result);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Next(ULONG count, IPin** pins, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumPins** result) override;

private:
    CDsEnumPins() = default;
    ~CDsEnumPins();

    std::atomic<LONG> refs_{1};
    std::vector<IPin*> pins_;
    size_t position_ = 0;
};
