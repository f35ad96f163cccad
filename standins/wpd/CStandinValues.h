#pragma once

#include "platform/wpd/PortableDeviceApi.h"
#include "standins/wpd/ComObject.h"

#include <utility>
#include <vector>

namespace standin {

// An ordered store of (key, value) pairs: the value collection the platform would create for
// CLSID_PortableDeviceValues. The simulated player also keeps each object's properties in one.
class CStandinValues final : public CComObject, public IPortableDeviceValues {
public:
    static HRESULT Create(REFIID iid, void** result);
    // Sets every value of `from` in `to`.
    static HRESULT CopyAll(IPortableDeviceValues* from, IPortableDeviceValues* to);
    CStandinValues() = default;
    ~CStandinValues() override;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    STANDIN_IUNKNOWN_REFCOUNT

    HRESULT STDMETHODCALLTYPE GetCount(DWORD* count) override;
    HRESULT STDMETHODCALLTYPE GetAt(const DWORD index, PROPERTYKEY* key, PROPVARIANT* value) override;
    HRESULT STDMETHODCALLTYPE SetValue(REFPROPERTYKEY key, const PROPVARIANT* value) override;
    HRESULT STDMETHODCALLTYPE GetValue(REFPROPERTYKEY key, PROPVARIANT* value) override;
    HRESULT STDMETHODCALLTYPE SetStringValue(REFPROPERTYKEY key, LPCWSTR value) override;
    HRESULT STDMETHODCALLTYPE GetStringValue(REFPROPERTYKEY key, LPWSTR* value) override;
    HRESULT STDMETHODCALLTYPE SetUnsignedIntegerValue(REFPROPERTYKEY key, const ULONG value) override;
    HRESULT STDMETHODCALLTYPE GetUnsignedIntegerValue(REFPROPERTYKEY key, ULONG* value) override;
    HRESULT STDMETHODCALLTYPE SetSignedIntegerValue(REFPROPERTYKEY key, const LONG value) override;
    HRESULT STDMETHODCALLTYPE GetSignedIntegerValue(REFPROPERTYKEY key, LONG* value) override;
    HRESULT STDMETHODCALLTYPE SetUnsignedLargeIntegerValue(REFPROPERTYKEY key, const ULONGLONG value) override;
    HRESULT STDMETHODCALLTYPE GetUnsignedLargeIntegerValue(REFPROPERTYKEY key, ULONGLONG* value) override;
    HRESULT STDMETHODCALLTYPE SetSignedLargeIntegerValue(REFPROPERTYKEY key, const LONGLONG value) override;
    HRESULT STDMETHODCALLTYPE GetSignedLargeIntegerValue(REFPROPERTYKEY key, LONGLONG* value) override;
    HRESULT STDMETHODCALLTYPE SetFloatValue(REFPROPERTYKEY key, const FLOAT value) override;
    HRESULT STDMETHODCALLTYPE GetFloatValue(REFPROPERTYKEY key, FLOAT* value) override;
    HRESULT STDMETHODCALLTYPE SetErrorValue(REFPROPERTYKEY key, const HRESULT value) override;
    HRESULT STDMETHODCALLTYPE GetErrorValue(REFPROPERTYKEY key, HRESULT* value) override;
    HRESULT STDMETHODCALLTYPE SetKeyValue(REFPROPERTYKEY key, REFPROPERTYKEY value) override;
    HRESULT STDMETHODCALLTYPE GetKeyValue(REFPROPERTYKEY key, PROPERTYKEY* value) override;
    HRESULT STDMETHODCALLTYPE SetBoolValue(REFPROPERTYKEY key, const WINBOOL value) override;
    HRESULT STDMETHODCALLTYPE GetBoolValue(REFPROPERTYKEY key, WINBOOL* value) override;
    HRESULT STDMETHODCALLTYPE SetIUnknownValue(REFPROPERTYKEY key, IUnknown* value) override;
    HRESULT STDMETHODCALLTYPE GetIUnknownValue(REFPROPERTYKEY key, IUnknown** value) override;
    HRESULT STDMETHODCALLTYPE SetGuidValue(REFPROPERTYKEY key, REFGUID value) override;
    HRESULT STDMETHODCALLTYPE GetGuidValue(REFPROPERTYKEY key, GUID* value) override;
    HRESULT STDMETHODCALLTYPE SetBufferValue(REFPROPERTYKEY key, BYTE* value, DWORD size) override;
    HRESULT STDMETHODCALLTYPE GetBufferValue(REFPROPERTYKEY key, BYTE** value, DWORD* size) override;
    HRESULT STDMETHODCALLTYPE SetIPortableDeviceValuesValue(REFPROPERTYKEY key, IPortableDeviceValues* value) override;
    HRESULT STDMETHODCALLTYPE GetIPortableDeviceValuesValue(REFPROPERTYKEY key, IPortableDeviceValues** value) override;
    HRESULT STDMETHODCALLTYPE SetIPortableDevicePropVariantCollectionValue(
        REFPROPERTYKEY key, IPortableDevicePropVariantCollection* value) override;
    HRESULT STDMETHODCALLTYPE GetIPortableDevicePropVariantCollectionValue(
        REFPROPERTYKEY key, IPortableDevicePropVariantCollection** value) override;
    HRESULT STDMETHODCALLTYPE SetIPortableDeviceKeyCollectionValue(REFPROPERTYKEY key,
                                                                   IPortableDeviceKeyCollection* value) override;
    HRESULT STDMETHODCALLTYPE GetIPortableDeviceKeyCollectionValue(REFPROPERTYKEY key,
                                                                   IPortableDeviceKeyCollection** value) override;
    HRESULT STDMETHODCALLTYPE SetIPortableDeviceValuesCollectionValue(
        REFPROPERTYKEY key, IPortableDeviceValuesCollection* value) override;
    HRESULT STDMETHODCALLTYPE GetIPortableDeviceValuesCollectionValue(
        REFPROPERTYKEY key, IPortableDeviceValuesCollection** value) override;
    HRESULT STDMETHODCALLTYPE RemoveValue(REFPROPERTYKEY key) override;
    HRESULT STDMETHODCALLTYPE CopyValuesFromPropertyStore(IPropertyStore* store) override;
    HRESULT STDMETHODCALLTYPE CopyValuesToPropertyStore(IPropertyStore* store) override;
    HRESULT STDMETHODCALLTYPE Clear() override;

private:
    // The stored value of a key, or null.
    const PROPVARIANT* Find(REFPROPERTYKEY key) const;
    // The stored value when it has the wanted type; else the error to answer with.
    HRESULT FindTyped(REFPROPERTYKEY key, VARTYPE type, const PROPVARIANT** value) const;
    HRESULT GetInterface(REFPROPERTYKEY key, REFIID iid, void** value);

    std::vector<std::pair<PROPERTYKEY, PROPVARIANT>> entries_;
};

}  // namespace standin
