#include "library/media/decode/AsyncReader.h"

#include <cguid.h>

CAsyncReader::CAsyncReader(const wchar_t* name, IUnknown* outer, CAsyncStream* stream, const AM_MEDIA_TYPE& type,
                           HRESULT* hr)
    : CDsBaseFilter(name, outer, &filterLock_, GUID_NULL), io_(stream), pin_(this, &io_, &filterLock_) {
    const HRESULT copied = mediaType_.Set(type);
    if (hr != nullptr) *hr = copied;
}

CAsyncReader::~CAsyncReader() = default;
