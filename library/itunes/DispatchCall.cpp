#include "library/itunes/DispatchCall.h"

#include <vector>

HRESULT TakeObject(CScopedVariant* answer, CScopedComPtr<IDispatch>* value) {
    value->Reset();
    const VARIANT& held = answer->Get();
    if (held.vt == VT_EMPTY || held.vt == VT_NULL) return S_FALSE;
    if ((held.vt == VT_DISPATCH || held.vt == VT_UNKNOWN) && !held.punkVal) return S_FALSE;
    if (held.vt != VT_DISPATCH && held.vt != VT_UNKNOWN) return DISP_E_TYPEMISMATCH;
    return held.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(value->Receive()));
}

HRESULT DispatchCall(IDispatch* object, const wchar_t* member, WORD flags, const wchar_t* text,
                     std::initializer_list<LONG> numbers, VARIANT* result) {
    if (!object) return E_POINTER;
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR name = const_cast<LPOLESTR>(member);
    HRESULT hr = object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    // IDispatch takes the arguments last first.
    std::vector<CScopedVariant> arguments;
    if (text) arguments.emplace_back(text);
    for (LONG number : numbers) arguments.emplace_back(number);
    std::vector<VARIANT> reversed;
    for (auto argument = arguments.rbegin(); argument != arguments.rend(); ++argument) reversed.push_back(argument->Get());
    DISPPARAMS parameters = {reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result, nullptr, nullptr);
}

HRESULT GetLongProperty(IDispatch* object, const wchar_t* member, LONG* value) {
    CScopedVariant answer;
    HRESULT hr = DispatchCall(object, member, DISPATCH_PROPERTYGET, nullptr, {}, answer.Receive());
    if (FAILED(hr)) return hr;
    CScopedVariant converted;
    VARIANT source = answer.Get();
    hr = VariantChangeType(converted.Receive(), &source, 0, VT_I4);
    if (FAILED(hr)) return hr;
    *value = converted.Get().lVal;
    return S_OK;
}

HRESULT GetTextProperty(IDispatch* object, const wchar_t* member, std::wstring* value) {
    CScopedVariant answer;
    HRESULT hr = DispatchCall(object, member, DISPATCH_PROPERTYGET, nullptr, {}, answer.Receive());
    if (FAILED(hr)) return hr;
    if (answer.Type() != VT_BSTR) return DISP_E_TYPEMISMATCH;
    const BSTR text = answer.Get().bstrVal;
    value->assign(text ? text : L"", SysStringLen(text));
    return S_OK;
}

HRESULT GetBoolProperty(IDispatch* object, const wchar_t* member, bool* value) {
    CScopedVariant answer;
    HRESULT hr = DispatchCall(object, member, DISPATCH_PROPERTYGET, nullptr, {}, answer.Receive());
    if (FAILED(hr)) return hr;
    if (answer.Type() != VT_BOOL) return DISP_E_TYPEMISMATCH;
    *value = answer.Get().boolVal == VARIANT_TRUE;
    return S_OK;
}

HRESULT GetObjectProperty(IDispatch* object, const wchar_t* member, CScopedComPtr<IDispatch>* value) {
    CScopedVariant answer;
    HRESULT hr = DispatchCall(object, member, DISPATCH_PROPERTYGET, nullptr, {}, answer.Receive());
    if (FAILED(hr)) return hr;
    return TakeObject(&answer, value);
}

HRESULT GetItem(IDispatch* collection, LONG index, CScopedComPtr<IDispatch>* item) {
    CScopedVariant answer;
    HRESULT hr = DispatchCall(collection, L"Item", DISPATCH_PROPERTYGET, nullptr, {index}, answer.Receive());
    if (FAILED(hr)) return hr;
    return TakeObject(&answer, item);
}

HRESULT GetItemByName(IDispatch* collection, const wchar_t* name, CScopedComPtr<IDispatch>* item) {
    CScopedVariant answer;
    HRESULT hr = DispatchCall(collection, L"ItemByName", DISPATCH_PROPERTYGET, name, {}, answer.Receive());
    if (FAILED(hr)) return hr;
    return TakeObject(&answer, item);
}
