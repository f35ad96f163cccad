#pragma once
// The IDispatch half of the simulated components' dual interfaces: they are called through their
// vtables only, so the dispatch side names nothing.

#include <windows.h>
#include <oaidl.h>

#define STANDIN_DISPATCH_NOT_NAMED                                                                          \
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {                                   \
        if (count == nullptr) return E_POINTER;                                                          \
        *count = 0;                                                                                      \
        return S_OK;                                                                                     \
    }                                                                                                    \
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {                       \
        if (info != nullptr) *info = nullptr;                                                            \
        return E_NOTIMPL;                                                                                \
    }                                                                                                    \
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {           \
        return E_NOTIMPL;                                                                                \
    }                                                                                                    \
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) \
        override {                                                                                       \
        return DISP_E_MEMBERNOTFOUND;                                                                    \
    }
