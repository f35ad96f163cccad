#pragma once

#include "platform/wpd/PortableDeviceApi.h"
#include "standins/wpd/ComObject.h"

#include <vector>

namespace standin {

// The list of property keys created for CLSID_PortableDeviceKeyCollection.
class CStandinKeyCollection final : public CComObject, public IPortableDeviceKeyCollection {
public:
    static HRESULT Create(REFIID iid, void** result);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    STANDIN_IUNKNOWN_REFCOUNT

    HRESULT STDMETHODCALLTYPE GetCount(DWORD* count) override;
    HRESULT STDMETHODCALLTYPE GetAt(const DWORD index, PROPERTYKEY* key) override;
    HRESULT STDMETHODCALLTYPE Add(REFPROPERTYKEY key) override;
    HRESULT STDMETHODCALLTYPE Clear() override;
    HRESULT STDMETHODCALLTYPE RemoveAt(const DWORD index) override;

private:
    std::vector<PROPERTYKEY> keys_;
};

}  // namespace standin
