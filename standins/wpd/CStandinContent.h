#pragma once

#include "platform/wpd/PortableDeviceApi.h"
#include "standins/wpd/ComObject.h"

#include <string>

namespace standin {

// The object tree of one simulated player: listing, creating and deleting objects.
class CStandinContent final : public CComObject, public IPortableDeviceContent {
public:
    explicit CStandinContent(std::wstring device) : device_(std::move(device)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    STANDIN_IUNKNOWN_REFCOUNT

    HRESULT STDMETHODCALLTYPE EnumObjects(DWORD flags, LPCWSTR parentId, IPortableDeviceValues* filter,
                                          IEnumPortableDeviceObjectIDs** enumerator) override;
    HRESULT STDMETHODCALLTYPE Properties(IPortableDeviceProperties** properties) override;
    HRESULT STDMETHODCALLTYPE Transfer(IPortableDeviceResources** resources) override;
    HRESULT STDMETHODCALLTYPE CreateObjectWithPropertiesOnly(IPortableDeviceValues* values, LPWSTR* objectId) override;
    HRESULT STDMETHODCALLTYPE CreateObjectWithPropertiesAndData(IPortableDeviceValues* values, IStream** data,
                                                                DWORD* optimalWriteBufferSize, LPWSTR* cookie) override;
    HRESULT STDMETHODCALLTYPE Delete(DWORD options, IPortableDevicePropVariantCollection* objectIds,
                                     IPortableDevicePropVariantCollection** results) override;
    HRESULT STDMETHODCALLTYPE GetObjectIDsFromPersistentUniqueIDs(IPortableDevicePropVariantCollection* uniqueIds,
                                                                  IPortableDevicePropVariantCollection** objectIds) override;
    HRESULT STDMETHODCALLTYPE Cancel() override;
    HRESULT STDMETHODCALLTYPE Move(IPortableDevicePropVariantCollection* objectIds, LPCWSTR destination,
                                   IPortableDevicePropVariantCollection** results) override;
    HRESULT STDMETHODCALLTYPE Copy(IPortableDevicePropVariantCollection* objectIds, LPCWSTR destination,
                                   IPortableDevicePropVariantCollection** results) override;

private:
    std::wstring device_;
};

}  // namespace standin
