#pragma once
// The oldest automation class, kept creatable for older scripts.

#include "app/main/CTavrelQuillbayClassic.h"

class CTavrelQuillbay final : public CTavrelQuillbayClassic<ITavrelQuillbay, 11> {
public:
    static HRESULT Create(IUnknown* outer, REFIID iid, void** result);
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;

private:
    template <class Object>
    friend HRESULT CreateAutomationObject(IUnknown* outer, REFIID iid, void** result);
    CTavrelQuillbay();
};
