#pragma once

#include "platform/wpd/PortableDeviceApi.h"
#include "standins/wpd/ComObject.h"

#include <string>
#include <vector>

namespace standin {

// The children of one object as they were when the enumeration was asked for.
class CStandinObjectEnum final : public CComObject, public IEnumPortableDeviceObjectIDs {
public:
    explicit CStandinObjectEnum(std::vector<std::wstring> ids) : ids_(std::move(ids)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    STANDIN_IUNKNOWN_REFCOUNT

    HRESULT STDMETHODCALLTYPE Next(ULONG count, LPWSTR* ids, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumPortableDeviceObjectIDs** clone) override;
    HRESULT STDMETHODCALLTYPE Cancel() override;

private:
    std::vector<std::wstring> ids_;
    size_t position_ = 0;
};

}  // namespace standin
