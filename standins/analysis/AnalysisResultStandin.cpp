#include "standins/analysis/AnalysisResultStandin.h"

#include <cstring>

HRESULT MakeByteArrayVariant(const uint8_t* bytes, size_t length, VARIANT* value) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(length));
    if (!array) return E_OUTOFMEMORY;
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(array, &data))) {
        SafeArrayDestroy(array);
        return E_FAIL;
    }
    if (length) std::memcpy(data, bytes, length);
    SafeArrayUnaccessData(array);
    value->vt = VT_ARRAY | VT_UI1;
    value->parray = array;
    return S_OK;
}

HRESULT CAnalysisResultStandin::QueryInterface(REFIID iid, void** result) {
    if (!result) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIidMusicAnalysisResult)) {
        *result = static_cast<IMusicAnalysisResult*>(this);
        AddRef();
        return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
}

HRESULT CAnalysisResultStandin::GetValue(LONG item, VARIANT* value) {
    if (!value) return E_POINTER;
    VariantInit(value);
    if (item >= 0 && item < kAnalysisProbeItemCount) {
        value->vt = VT_I4;
        value->lVal = measures_.empty() ? kAnalysisNoValue : measures_[static_cast<size_t>(item)];
        return S_OK;
    }
    if (item == kAnalysisPayloadItem) return MakeByteArrayVariant(payload_.data(), payload_.size(), value);
    return E_INVALIDARG;
}
