#pragma once

#include "platform/wpd/PortableDeviceApi.h"
#include "standins/wpd/ComObject.h"

#include <string>

namespace standin {

// Property access to the objects of one simulated player.
class CStandinProperties final : public CComObject, public IPortableDeviceProperties {
public:
    explicit CStandinProperties(std::wstring device) : device_(std::move(device)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    STANDIN_IUNKNOWN_REFCOUNT

    HRESULT STDMETHODCALLTYPE GetSupportedProperties(LPCWSTR objectId, IPortableDeviceKeyCollection** keys) override;
    HRESULT STDMETHODCALLTYPE GetPropertyAttributes(LPCWSTR objectId, REFPROPERTYKEY key,
                                                    IPortableDeviceValues** attributes) override;
    HRESULT STDMETHODCALLTYPE GetValues(LPCWSTR objectId, IPortableDeviceKeyCollection* keys,
                                        IPortableDeviceValues** values) override;
    HRESULT STDMETHODCALLTYPE SetValues(LPCWSTR objectId, IPortableDeviceValues* values,
                                        IPortableDeviceValues** results) override;
    HRESULT STDMETHODCALLTYPE Delete(LPCWSTR objectId, IPortableDeviceKeyCollection* keys) override;
    HRESULT STDMETHODCALLTYPE Cancel() override;

private:
    std::wstring device_;
};

}  // namespace standin
