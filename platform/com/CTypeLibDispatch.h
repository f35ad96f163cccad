#pragma once
// IDispatch of a dual interface served from its type library: names and calls go through the
// interface's ITypeInfo, which calls the interface's own vtable slots, so a generated header and
// the library agree on every member by construction.

#include "platform/com/CTypeInfoCache.h"

template <class DualInterface>
class CTypeLibDispatch : public DualInterface {
public:
    explicit CTypeLibDispatch(CTypeInfoCache& typeInfo) : typeInfo_(typeInfo) {}

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** result) override {
        if (!result) return E_POINTER;
        *result = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        return typeInfo_.Get(result);
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        CScopedComPtr<ITypeInfo> typeInfo;
        HRESULT hr = typeInfo_.Get(typeInfo.Receive());
        if (FAILED(hr)) return hr;
        return typeInfo->GetIDsOfNames(names, count, ids);
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override {
        if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        CScopedComPtr<ITypeInfo> typeInfo;
        HRESULT hr = typeInfo_.Get(typeInfo.Receive());
        if (FAILED(hr)) return hr;
        return typeInfo->Invoke(static_cast<DualInterface*>(this), id, flags, parameters, result, exception,
                                argumentError);
    }

private:
    CTypeInfoCache& typeInfo_;
};
