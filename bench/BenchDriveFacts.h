#pragma once
// The Wine prefix's C: drive shown to the mass-storage controller as a removable USB player, for
// the benchmarks that write through it.

#include "library/device/DriveFacts.h"

#include <windows.h>

#include <string>

namespace bench {

class CDriveCAsPlayer : public IDriveFacts {
public:
    DWORD GetLogicalDriveMask() override { return 1u << 2; }
    UINT GetRootDriveType(const std::wstring&) override { return DRIVE_REMOVABLE; }
    bool IsUsbVolume(HANDLE, const std::wstring&) override { return true; }
    void ReadUsbIdentity(HANDLE, const std::wstring&, std::wstring* id) override { *id = L"bench_0000_"; }
};

}  // namespace bench
