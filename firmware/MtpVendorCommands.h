#pragma once
// The maker's vendor operations, sent to an open MTP player through the platform's MTP-extension
// driver commands.

#include <windows.h>

#include "platform/wpd/PortableDeviceApi.h"

namespace mtpvendor {
constexpr WORD kGetDeviceInfo = 0x9401;
constexpr WORD kStartUpdate = 0x9402;
// Both operations carry these two parameters, in this order.
constexpr DWORD kFirstParam = 0x312e3030;
constexpr DWORD kSecondParam = 0x64626d6e;
constexpr size_t kDeviceInfoSize = 144;
constexpr DWORD kMaxOpcodes = 20;
constexpr DWORD kDescriptionChars = 1024;
}  // namespace mtpvendor

// The extension description, cut to fit the buffer of kDescriptionChars characters.
HRESULT GetVendorExtensionDescription(IPortableDevice* device, wchar_t* description);
// Stores at most kMaxOpcodes codes; count receives how many the device reported.
HRESULT GetSupportedVendorOpcodes(IPortableDevice* device, WORD* opcodes, DWORD* count);
// 0 reply read (replyLength receives its size, at most kDeviceInfoSize), 1 the operation had no
// data, E_FAIL response code not OK, E_UNEXPECTED no data came back, other failures passed on.
HRESULT GetMtpDeviceInfo(IPortableDevice* device, BYTE* reply, size_t* replyLength);
HRESULT SendMtpUpdateOperation(IPortableDevice* device);
