#include "app/main/CTavrelQuillbay2.h"

#include "app/main/AutomationObjectCreate.h"
#include "app/main/AutomationTypeInfo.h"
#include "platform/com/InterfaceTable.h"

CTavrelQuillbay2::CTavrelQuillbay2() : CTavrelQuillbayClassic(ITavrelQuillbay2TypeInfo()) {}

HRESULT CTavrelQuillbay2::Create(IUnknown* outer, REFIID iid, void** result) {
    return CreateAutomationObject<CTavrelQuillbay2>(outer, iid, result);
}

HRESULT STDMETHODCALLTYPE CTavrelQuillbay2::QueryInterface(REFIID iid, void** result) {
    static const InterfaceEntry<CTavrelQuillbay2> kInterfaces[] = {
        {&IID_ITavrelQuillbay2,
         [](CTavrelQuillbay2* self) -> IUnknown* { return static_cast<ITavrelQuillbay2*>(self); }},
        {&IID_ITavrelQuillbay,
         [](CTavrelQuillbay2* self) -> IUnknown* { return static_cast<ITavrelQuillbay*>(self); }},
        {&IID_IDispatch, [](CTavrelQuillbay2* self) -> IUnknown* { return static_cast<ITavrelQuillbay2*>(self); }},
    };
    return QueryInterfaceFromTable(this, kInterfaces, iid, result);
}
