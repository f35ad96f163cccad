#pragma once
// IDispatch of Quillbay's automation interfaces, from their type library. Every property of these
// interfaces is a put of a script's function object: JScript asks for it as put and put-by-reference
// at once, VBScript's Set as put-by-reference alone, and the type library knows only put. Both reach
// the put. A script's null (JScript null, VBScript Nothing or Null) empties the property.

#include "platform/com/CTypeLibDispatch.h"

template <class DualInterface>
class CQBDispatch : public CTypeLibDispatch<DualInterface> {
public:
    using CTypeLibDispatch<DualInterface>::CTypeLibDispatch;

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override {
        if (!(flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))) {
            return CTypeLibDispatch<DualInterface>::Invoke(id, iid, locale, flags, parameters, result, exception,
                                                            argumentError);
        }
        flags = DISPATCH_PROPERTYPUT;
        DISPPARAMS put = parameters ? *parameters : DISPPARAMS{};
        VARIANT noObject;
        if (put.cArgs == 1 && put.rgvarg && (put.rgvarg[0].vt == VT_NULL || put.rgvarg[0].vt == VT_EMPTY)) {
            VariantInit(&noObject);
            noObject.vt = VT_DISPATCH;
            noObject.pdispVal = nullptr;
            put.rgvarg = &noObject;
            parameters = &put;
        }
        return CTypeLibDispatch<DualInterface>::Invoke(id, iid, locale, flags, parameters, result, exception,
                                                        argumentError);
    }
};
