#include "tests/device/SimulatedDriveFacts.h"

#include <gtest/gtest.h>

bool CSimulatedDriveFacts::IsUsbVolume(HANDLE volume, const std::wstring& root) {
    ++volumeQueries_;
    EXPECT_NE(volume, INVALID_HANDLE_VALUE);
    return !root.empty() && (usb_ & Bit(root[0])) != 0;
}

void CSimulatedDriveFacts::ReadUsbIdentity(HANDLE, const std::wstring& root,
                                           std::wstring* deviceId) {
    auto found = ids_.find(static_cast<wchar_t>(towupper(root[0])));
    if (found != ids_.end() && !found->second.empty()) *deviceId = found->second;
}
