#include "platform/dshow/MediaType.h"

#include <cstring>

void FreeMediaTypeContents(AM_MEDIA_TYPE& type) {
    if (type.cbFormat != 0 || type.pbFormat != nullptr) CoTaskMemFree(type.pbFormat);
    type.cbFormat = 0;
    type.pbFormat = nullptr;
    if (type.pUnk != nullptr) {
        type.pUnk->Release();
        type.pUnk = nullptr;
    }
}

HRESULT CopyMediaTypeContents(AM_MEDIA_TYPE& target, const AM_MEDIA_TYPE& source) {
    target = source;
    if (source.cbFormat != 0 && source.pbFormat != nullptr) {
        target.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(source.cbFormat));
        if (target.pbFormat == nullptr) {
            target.cbFormat = 0;
            target.pUnk = nullptr;
            return E_OUTOFMEMORY;
        }
        std::memcpy(target.pbFormat, source.pbFormat, source.cbFormat);
    } else {
        target.pbFormat = nullptr;
        target.cbFormat = 0;
    }
    if (target.pUnk != nullptr) target.pUnk->AddRef();
    return S_OK;
}

AM_MEDIA_TYPE* CreateMediaTypeCopy(const AM_MEDIA_TYPE& source) {
    auto* copy = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (copy == nullptr) return nullptr;
    if (FAILED(CopyMediaTypeContents(*copy, source))) {
        CoTaskMemFree(copy);
        return nullptr;
    }
    return copy;
}

void DeleteMediaTypeRecord(AM_MEDIA_TYPE* type) {
    if (type == nullptr) return;
    FreeMediaTypeContents(*type);
    CoTaskMemFree(type);
}

bool IsMediaTypeFullySpecified(const AM_MEDIA_TYPE& type) {
    return !IsEqualGUID(type.majortype, GUID_NULL) && !IsEqualGUID(type.formattype, GUID_NULL);
}

bool MediaTypeMatchesPartial(const AM_MEDIA_TYPE& full, const AM_MEDIA_TYPE& partial) {
    if (!IsEqualGUID(partial.majortype, GUID_NULL) && !IsEqualGUID(partial.majortype, full.majortype)) return false;
    if (!IsEqualGUID(partial.subtype, GUID_NULL) && !IsEqualGUID(partial.subtype, full.subtype)) return false;
    if (!IsEqualGUID(partial.formattype, GUID_NULL)) {
        if (!IsEqualGUID(partial.formattype, full.formattype)) return false;
        if (partial.cbFormat != full.cbFormat) return false;
        if (partial.cbFormat != 0 && std::memcmp(partial.pbFormat, full.pbFormat, partial.cbFormat) != 0) return false;
    }
    return true;
}

CMediaType::CMediaType() : AM_MEDIA_TYPE{} { lSampleSize = 1; bFixedSizeSamples = TRUE; }

CMediaType::CMediaType(const CMediaType& other) : AM_MEDIA_TYPE{} { Set(other); }

CMediaType::CMediaType(const AM_MEDIA_TYPE& other) : AM_MEDIA_TYPE{} { Set(other); }

CMediaType::~CMediaType() { FreeMediaTypeContents(*this); }

CMediaType& CMediaType::operator=(const CMediaType& other) {
    if (this != &other) Set(other);
    return *this;
}

CMediaType& CMediaType::operator=(const AM_MEDIA_TYPE& other) {
    if (this != &other) Set(other);
    return *this;
}

HRESULT CMediaType::Set(const AM_MEDIA_TYPE& other) {
    if (this == &other) return S_OK;
    FreeMediaTypeContents(*this);
    return CopyMediaTypeContents(*this, other);
}

void CMediaType::Clear() {
    FreeMediaTypeContents(*this);
    static_cast<AM_MEDIA_TYPE&>(*this) = AM_MEDIA_TYPE{};
}

bool CMediaType::SetFormat(const void* format, ULONG size) {
    BYTE* block = nullptr;
    if (size != 0) {
        block = static_cast<BYTE*>(CoTaskMemAlloc(size));
        if (block == nullptr) return false;
        std::memcpy(block, format, size);
    }
    CoTaskMemFree(pbFormat);
    pbFormat = block;
    cbFormat = size;
    return true;
}
