#pragma once
// The class factories' creation function for the automation classes: a new object for each
// creation, asked for the interface the client wants.

#include <windows.h>
#include <unknwn.h>

#include <new>

template <class Object>
HRESULT CreateAutomationObject(IUnknown* outer, REFIID iid, void** result) {
    *result = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    Object* created = new (std::nothrow) Object;
    if (!created) return E_OUTOFMEMORY;
    const HRESULT hr = created->QueryInterface(iid, result);
    created->Release();
    return hr;
}
