#include "updater/ostrim/VersionEventSink.h"

#include <ocidl.h>

#include "library/util/ScopedCom.h"
#include "platform/fennic/FennicInterfaces.h"

HRESULT CVersionEventSink::Advise(IUnknown* source) {
    if (IsAdvised()) return E_FAIL;
    if (source == nullptr) return E_POINTER;
    CScopedComPtr<IConnectionPointContainer> container;
    HRESULT hr = source->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.Receive()));
    if (FAILED(hr)) return hr;
    CScopedComPtr<IConnectionPoint> point;
    hr = container->FindConnectionPoint(kDiidFennicUpdateInfoEvents, point.Receive());
    if (FAILED(hr)) return hr;
    DWORD cookie = 0;
    hr = point->Advise(static_cast<IDispatch*>(this), &cookie);
    if (FAILED(hr)) return hr;
    m_cookie = cookie;
    m_source = source;
    m_source->AddRef();
    return S_OK;
}

void CVersionEventSink::Unadvise() {
    if (!IsAdvised()) return;
    CScopedComPtr<IConnectionPointContainer> container;
    if (SUCCEEDED(m_source->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.Receive())))) {
        CScopedComPtr<IConnectionPoint> point;
        if (SUCCEEDED(container->FindConnectionPoint(kDiidFennicUpdateInfoEvents, point.Receive()))) {
            point->Unadvise(m_cookie);
        }
    }
    m_source->Release();
    m_source = nullptr;
    m_cookie = kNotAdvised;
}

HRESULT CVersionEventSink::QueryInterface(REFIID iid, void** result) {
    if (result == nullptr) return E_POINTER;
    *result = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kDiidFennicUpdateInfoEvents)) {
        *result = static_cast<IDispatch*>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT CVersionEventSink::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CVersionEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT CVersionEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT CVersionEventSink::Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                  EXCEPINFO*, UINT* badArgument) {
    if (member != kDispidCheckVersion) return DISP_E_MEMBERNOTFOUND;
    if ((flags & DISPATCH_METHOD) == 0) return DISP_E_MEMBERNOTFOUND;
    if (params == nullptr || params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    if (params->cArgs != 3) return DISP_E_BADPARAMCOUNT;
    // Arguments arrive last first: (first, second, operator) is rgvarg[2], [1], [0].
    VARIANT first;
    VARIANT second;
    VARIANT op;
    VariantInit(&first);
    VariantInit(&second);
    VariantInit(&op);
    HRESULT hr = VariantChangeType(&first, &params->rgvarg[2], 0, VT_BSTR);
    if (FAILED(hr) && badArgument) *badArgument = 2;
    if (SUCCEEDED(hr)) {
        hr = VariantChangeType(&second, &params->rgvarg[1], 0, VT_BSTR);
        if (FAILED(hr) && badArgument) *badArgument = 1;
    }
    if (SUCCEEDED(hr)) {
        hr = VariantChangeType(&op, &params->rgvarg[0], 0, VT_I4);
        if (FAILED(hr) && badArgument) *badArgument = 0;
    }
    if (SUCCEEDED(hr)) {
        const HRESULT answer = m_owner.CheckVersion(V_BSTR(&first), V_BSTR(&second), V_I4(&op));
        if (result != nullptr) {
            VariantInit(result);
            V_VT(result) = VT_I4;
            V_I4(result) = answer;
        }
        hr = S_OK;
    } else {
        hr = DISP_E_TYPEMISMATCH;
    }
    VariantClear(&first);
    VariantClear(&second);
    VariantClear(&op);
    return hr;
}
