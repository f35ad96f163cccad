#pragma once
// A media type enumerator over a snapshot of the types a pin proposes, taken at creation.

#include <windows.h>
#include "platform/dshow/DShow.h"

#include <atomic>
#include <vector>

#include "platform/dshow/MediaType.h"

class CDsBasePin;

class CDsEnumMediaTypes final : public IEnumMediaTypes {
public:
    static HRESULT Create(CDsBasePin* pin, IEnumMediaTypes** result);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumMediaTypes** result) override;

private:
    CDsEnumMediaTypes() = default;

    std::atomic<LONG> refs_{1};
    std::vector<CMediaType> types_;
    size_t position_ = 0;
};
