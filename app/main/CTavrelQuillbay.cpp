#include "app/main/CTavrelQuillbay.h"

#include <new>

#include "app/main/AutomationTypeInfo.h"
#include "platform/com/InterfaceTable.h"

CTavrelQuillbay::CTavrelQuillbay() : CTavrelQuillbayClassic(ITavrelQuillbayTypeInfo()) {}

HRESULT CTavrelQuillbay::Create(IUnknown* outer, REFIID iid, void** result) {
    *result = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    CTavrelQuillbay* created = new (std::nothrow) CTavrelQuillbay;
    if (!created) return E_OUTOFMEMORY;
    HRESULT hr = created->QueryInterface(iid, result);
    created->Release();
    return hr;
}

HRESULT STDMETHODCALLTYPE CTavrelQuillbay::QueryInterface(REFIID iid, void** result) {
    static const InterfaceEntry<CTavrelQuillbay> kInterfaces[] = {
        {&IID_ITavrelQuillbay, [](CTavrelQuillbay* self) -> IUnknown* { return static_cast<ITavrelQuillbay*>(self); }},
        {&IID_IDispatch, [](CTavrelQuillbay* self) -> IUnknown* { return static_cast<ITavrelQuillbay*>(self); }},
    };
    return QueryInterfaceFromTable(this, kInterfaces, iid, result);
}
