#pragma once
// What a simulated MTP player of the maker says about itself.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

constexpr uint16_t kVendor = 0x2b7a;
constexpr uint16_t kMscProduct = 0x0a01;
constexpr uint16_t kMtpProduct = 0x0b02;

// A 144-byte Get Device Info reply of an MTP player.
std::vector<BYTE> MtpDeviceInfo(const std::string& model, const std::string& version, const std::string& secondVersion,
                                const std::string& serial, BYTE first, BYTE second);
// The Plug and Play id of a simulated MTP player with that product id and USB serial.
std::wstring MtpDeviceId(uint16_t product, const std::wstring& usbSerial);
// The extension description and operations of the maker's players.
extern const wchar_t kPlayerExtensionDescription[];
extern const std::vector<WORD> kPlayerOpcodes;
