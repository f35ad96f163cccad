#include "library/analysis/AnalysisEngine.h"

HRESULT CreateAnalysisEngine(IMusicAnalysisEngine** engine) {
    if (!engine) return E_POINTER;
    *engine = nullptr;
    return CoCreateInstance(kClsidMusicAnalysisEngine, nullptr, CLSCTX_INPROC_SERVER, kIidMusicAnalysisEngine,
                            reinterpret_cast<void**>(engine));
}

HRESULT ByteArrayFromVariant(const VARIANT& value, CTNByteArray** array) {
    if (!array) return E_POINTER;
    *array = nullptr;
    if (value.vt != (VT_ARRAY | VT_UI1) || !value.parray || SafeArrayGetDim(value.parray) != 1) return E_FAIL;
    LONG lower = 0, upper = -1;
    if (FAILED(SafeArrayGetLBound(value.parray, 1, &lower)) || FAILED(SafeArrayGetUBound(value.parray, 1, &upper)))
        return E_FAIL;
    const LONGLONG count = static_cast<LONGLONG>(upper) - lower + 1;
    if (count <= 0 || count > 0x7FFFFFFF) return E_FAIL;
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(value.parray, &data))) return E_FAIL;
    CTNByteArray* copy = CTNByteArray::Create(static_cast<uint32_t>(count));
    HRESULT hr = copy ? copy->SetData(data, static_cast<uint32_t>(count)) : E_OUTOFMEMORY;
    SafeArrayUnaccessData(value.parray);
    if (FAILED(hr)) {
        delete copy;
        return hr;
    }
    *array = copy;
    return S_OK;
}
