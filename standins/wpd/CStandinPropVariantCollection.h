#pragma once

#include "platform/wpd/PortableDeviceApi.h"
#include "standins/wpd/ComObject.h"

#include <vector>

namespace standin {

// The list of values created for CLSID_PortableDevicePropVariantCollection (object id lists of
// deletes and playlist references).
class CStandinPropVariantCollection final : public CComObject, public IPortableDevicePropVariantCollection {
public:
    static HRESULT Create(REFIID iid, void** result);
    ~CStandinPropVariantCollection() override;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    STANDIN_IUNKNOWN_REFCOUNT

    HRESULT STDMETHODCALLTYPE GetCount(DWORD* count) override;
    HRESULT STDMETHODCALLTYPE GetAt(const DWORD index, PROPVARIANT* value) override;
    HRESULT STDMETHODCALLTYPE Add(const PROPVARIANT* value) override;
    HRESULT STDMETHODCALLTYPE GetType(VARTYPE* type) override;
    HRESULT STDMETHODCALLTYPE ChangeType(const VARTYPE type) override;
    HRESULT STDMETHODCALLTYPE Clear() override;
    HRESULT STDMETHODCALLTYPE RemoveAt(const DWORD index) override;

private:
    std::vector<PROPVARIANT> values_;
};

}  // namespace standin
