#pragma once
// What marks the maker's players on each transport.

#include <windows.h>

// USB vendor id that a mass-storage player's parent USB device carries.
constexpr DWORD kPlayerUsbVendorId = 0x2b7a;
// INQUIRY identification of a player's drive: the product field is this name padded with spaces
// to 16 bytes, the vendor field begins with the maker's name.
constexpr char kPlayerInquiryProduct[] = "TORNELLE        ";
constexpr char kPlayerInquiryVendor[] = "TAVREL";
// The USB product string (iProduct) of a player.
constexpr wchar_t kPlayerProductString[] = L"TORNELLE";
// The vendor extension an MTP player's extension description names.
constexpr wchar_t kPlayerVendorExtension[] = L"tavrel.com";
// Every player's product code.
constexpr wchar_t kPlayerProductCode[] = L"PA001";
