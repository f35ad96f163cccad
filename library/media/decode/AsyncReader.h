#pragma once
// A pull-model source filter: one output pin ("Output") that serves a byte stream through
// IAsyncReader with one fixed media type.

#include "library/media/decode/AsyncIo.h"
#include "library/media/decode/AsyncOutputPin.h"
#include "platform/dshow/BaseFilter.h"

class CAsyncReader : public CDsBaseFilter {
public:
    // The stream must outlive the filter; the media type is copied.
    CAsyncReader(const wchar_t* name, IUnknown* outer, CAsyncStream* stream, const AM_MEDIA_TYPE& type, HRESULT* hr);
    ~CAsyncReader() override;

    int GetPinCount() override { return 1; }
    CDsBasePin* GetPin(int index) override { return index == 0 ? &pin_ : nullptr; }

    const CMediaType& OfferedMediaType() const { return mediaType_; }

private:
    CCriticalSection filterLock_;
    CAsyncIo io_;
    CAsyncOutputPin pin_;
    CMediaType mediaType_;
};
