#pragma once

#include "platform/wpd/PortableDeviceApi.h"
#include "standins/wpd/CStandinVendorCommands.h"
#include "standins/wpd/ComObject.h"

#include <string>

namespace standin {

// A connection to one simulated player (CLSID_PortableDevice).
class CStandinDevice final : public CComObject, public IPortableDevice {
public:
    static HRESULT Create(REFIID iid, void** result);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    STANDIN_IUNKNOWN_REFCOUNT

    HRESULT STDMETHODCALLTYPE Open(LPCWSTR deviceId, IPortableDeviceValues* clientInfo) override;
    HRESULT STDMETHODCALLTYPE SendCommand(DWORD flags, IPortableDeviceValues* parameters,
                                          IPortableDeviceValues** results) override;
    HRESULT STDMETHODCALLTYPE Content(IPortableDeviceContent** content) override;
    HRESULT STDMETHODCALLTYPE Capabilities(IPortableDeviceCapabilities** capabilities) override;
    HRESULT STDMETHODCALLTYPE Cancel() override;
    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE Advise(DWORD flags, IPortableDeviceEventCallback* callback,
                                     IPortableDeviceValues* parameters, LPWSTR* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(LPCWSTR cookie) override;
    HRESULT STDMETHODCALLTYPE GetPnPDeviceID(LPWSTR* deviceId) override;

private:
    std::wstring device_;  // empty while not open
    CStandinVendorCommands vendor_;
};

}  // namespace standin
