#pragma once

#include "platform/wpd/PortableDeviceApi.h"
#include "standins/wpd/ComObject.h"

#include <string>

namespace standin {

// Reading the data of the objects of one simulated player.
class CStandinResources final : public CComObject, public IPortableDeviceResources {
public:
    // The block size the stand-in suggests for transfers, as the platform reports one per stream.
    // Its uploads land in files on the host: under Wine, over a run of 4 MiB files, 64 KiB writes
    // took two thirds of the time of 256 KiB ones.
    static const DWORD kOptimalBufferSize = 64 * 1024;

    explicit CStandinResources(std::wstring device) : device_(std::move(device)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    STANDIN_IUNKNOWN_REFCOUNT

    HRESULT STDMETHODCALLTYPE GetSupportedResources(LPCWSTR objectId, IPortableDeviceKeyCollection** keys) override;
    HRESULT STDMETHODCALLTYPE GetResourceAttributes(LPCWSTR objectId, REFPROPERTYKEY key,
                                                    IPortableDeviceValues** attributes) override;
    HRESULT STDMETHODCALLTYPE GetStream(LPCWSTR objectId, REFPROPERTYKEY key, DWORD mode, DWORD* optimalBufferSize,
                                        IStream** stream) override;
    HRESULT STDMETHODCALLTYPE Delete(LPCWSTR objectId, IPortableDeviceKeyCollection* keys) override;
    HRESULT STDMETHODCALLTYPE Cancel() override;
    HRESULT STDMETHODCALLTYPE CreateResource(IPortableDeviceValues* attributes, IStream** data,
                                             DWORD* optimalWriteBufferSize, LPWSTR* cookie) override;

private:
    std::wstring device_;
};

}  // namespace standin
