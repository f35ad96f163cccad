#pragma once
// Test set-up shared by the programs that drive the simulated MTP player: registers the stand-in
// under the platform's class identifiers in the test prefix (and removes it again), attaches
// players backed by scratch folders (CScratchFolder of the util tests) and arms faults.

#include "library/util/FileSystem.h"
#include "platform/wpd/PortableDeviceApi.h"
#include "standins/wpd/WpdStandinControl.h"
#include "tests/util/UtilTestSupport.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The whole data of an object read through its default resource; "<unreadable>" when it has none.
std::string ReadObjectData(IPortableDeviceContent* content, const std::wstring& objectId);

class CWpdStandin {
public:
    CWpdStandin() = default;
    ~CWpdStandin();
    CWpdStandin(const CWpdStandin&) = delete;
    CWpdStandin& operator=(const CWpdStandin&) = delete;

    // Loads the module beside the test program and registers its classes.
    HRESULT Install();
    HRESULT Register();
    HRESULT Unregister();
    // Attaches a player whose storage holds the files of the folder.
    HRESULT Attach(const std::wstring& id, const std::wstring& friendlyName, const std::wstring& folder,
                   uint64_t capacity = 64ull << 20, const std::wstring& protocol = L"MTP: 1.0",
                   const std::wstring& description = L"Simulated player");
    HRESULT Detach(const std::wstring& id);
    HRESULT SetVendor(const std::wstring& id, const std::wstring& extensionDescription,
                      const std::vector<WORD>& opcodes, const std::vector<BYTE>& deviceInfo,
                      DWORD responseCode = 0x2001);
    // The vendor operations the player received: operation code and first two parameters each.
    std::vector<std::array<DWORD, 3>> Operations(const std::wstring& id);
    void ArmFault(WpdStandinFault fault, LONG nthCall, HRESULT failure = E_FAIL);
    void Reset();

private:
    HMODULE module_ = nullptr;
    bool registered_ = false;
    WpdStandinAttachFn attach_ = nullptr;
    WpdStandinDetachFn detach_ = nullptr;
    WpdStandinResetFn reset_ = nullptr;
    WpdStandinArmFaultFn armFault_ = nullptr;
    WpdStandinSetVendorFn setVendor_ = nullptr;
    WpdStandinOperationsFn operations_ = nullptr;
};
