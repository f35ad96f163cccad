#pragma once
// Calls to an automation object by member name through IDispatch, so that the client depends only
// on the published member names and not on any vtable layout. Arguments are given in call order.

#include "library/util/ScopedCom.h"

#include <initializer_list>
#include <string>

// A property get (with arguments for indexed properties) or a method call; its arguments are the
// text, when given, followed by the numbers.
HRESULT DispatchCall(IDispatch* object, const wchar_t* member, WORD flags, const wchar_t* text,
                     std::initializer_list<LONG> numbers, VARIANT* result);

HRESULT GetLongProperty(IDispatch* object, const wchar_t* member, LONG* value);
HRESULT GetTextProperty(IDispatch* object, const wchar_t* member, std::wstring* value);
HRESULT GetBoolProperty(IDispatch* object, const wchar_t* member, bool* value);
HRESULT GetObjectProperty(IDispatch* object, const wchar_t* member, CScopedComPtr<IDispatch>* value);
// The object an answer holds; S_FALSE with no object when the answer is empty.
HRESULT TakeObject(CScopedVariant* answer, CScopedComPtr<IDispatch>* value);
// An indexed collection's item (1-based).
HRESULT GetItem(IDispatch* collection, LONG index, CScopedComPtr<IDispatch>* item);
HRESULT GetItemByName(IDispatch* collection, const wchar_t* name, CScopedComPtr<IDispatch>* item);
