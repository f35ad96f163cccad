#pragma once

#include "platform/wpd/PortableDeviceApi.h"
#include "standins/wpd/ComObject.h"

#include <string>

namespace standin {

// Reading the data of the objects of one simulated player.
class CStandinResources final : public CComObject, public IPortableDeviceResources {
public:
    // The block size the stand-in suggests for transfers, as the platform reports one per stream
    // (MTP drivers commonly suggest 256 KiB). Its uploads land in files on the host: under Wine,
    // copying 64 MiB in 256 KiB blocks took 0.8-0.9 of CopyFileW's time (which moves 64 KiB at a
    // time), 64 KiB blocks as long as CopyFileW, and blocks of 1 MiB or more, which no longer stay
    // in the processor's cache between the read and the write, up to twice as long.
    static const DWORD kOptimalBufferSize = 256 * 1024;

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
