#pragma once
// QueryInterface answered from a table of the interfaces an object exposes.

#include <windows.h>
#include <unknwn.h>

#include <cstddef>

template <class T>
struct InterfaceEntry {
    const IID* iid;
    IUnknown* (*cast)(T* self);
};

// The first entry also answers IID_IUnknown, so every interface gives the same identity.
template <class T, size_t N>
HRESULT QueryInterfaceFromTable(T* self, const InterfaceEntry<T> (&table)[N], REFIID iid, void** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    for (size_t index = 0; index < N; ++index) {
        if (IsEqualIID(iid, *table[index].iid) || (index == 0 && IsEqualIID(iid, IID_IUnknown))) {
            IUnknown* found = table[index].cast(self);
            found->AddRef();
            *result = found;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}
