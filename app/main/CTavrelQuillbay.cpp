#include "app/main/CTavrelQuillbay.h"

#include "app/main/AutomationObjectCreate.h"
#include "app/main/AutomationTypeInfo.h"
#include "platform/com/InterfaceTable.h"

CTavrelQuillbay::CTavrelQuillbay() : CTavrelQuillbayClassic(ITavrelQuillbayTypeInfo()) {}

HRESULT CTavrelQuillbay::Create(IUnknown* outer, REFIID iid, void** result) {
    return CreateAutomationObject<CTavrelQuillbay>(outer, iid, result);
}

HRESULT STDMETHODCALLTYPE CTavrelQuillbay::QueryInterface(REFIID iid, void** result) {
    static const InterfaceEntry<CTavrelQuillbay> kInterfaces[] = {
        {&IID_ITavrelQuillbay, [](CTavrelQuillbay* self) -> IUnknown* { return static_cast<ITavrelQuillbay*>(self); }},
        {&IID_IDispatch, [](CTavrelQuillbay* self) -> IUnknown* { return static_cast<ITavrelQuillbay*>(self); }},
    };
    return QueryInterfaceFromTable(this, kInterfaces, iid, result);
}
