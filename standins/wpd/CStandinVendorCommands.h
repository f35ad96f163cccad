#pragma once

#include "platform/wpd/PortableDeviceApi.h"

#include <string>
#include <vector>

namespace standin {

// The vendor MTP operations of one connection to a simulated player: answers the driver commands
// of the vendor-operation category and keeps the data phase of the operation in progress.
class CStandinVendorCommands {
public:
    // S_OK with results for a command of the category, E_NOTIMPL for any other command.
    HRESULT Execute(const std::wstring& device, IPortableDeviceValues* parameters, IPortableDeviceValues** results);

private:
    HRESULT Describe(const std::wstring& device, IPortableDeviceValues* results);
    HRESULT ListOpcodes(const std::wstring& device, IPortableDeviceValues* results);
    HRESULT Start(const std::wstring& device, DWORD commandId, IPortableDeviceValues* parameters,
                  IPortableDeviceValues* results);
    HRESULT Read(IPortableDeviceValues* parameters, IPortableDeviceValues* results);
    HRESULT End(IPortableDeviceValues* parameters, IPortableDeviceValues* results);

    std::wstring context_;  // empty while no data phase is open
    std::vector<BYTE> pending_;
    size_t readOffset_ = 0;
    DWORD response_ = 0;
};

}  // namespace standin
