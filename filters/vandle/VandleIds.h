#pragma once
// Class and interface identifiers of the YUY2-to-RGB32 server.

#include <windows.h>

// {0FCB2A9F-46E9-4FFE-958B-5148265F3D17}
const CLSID CLSID_Orrick = {0x0FCB2A9F, 0x46E9, 0x4FFE, {0x95, 0x8B, 0x51, 0x48, 0x26, 0x5F, 0x3D, 0x17}};
// {84415A4B-DDAC-448A-8827-D7D467C3F205}
const CLSID CLSID_OrrickProperties = {0x84415A4B, 0xDDAC, 0x448A, {0x88, 0x27, 0xD7, 0xD4, 0x67, 0xC3, 0xF2, 0x05}};
// {76B1C25F-F1CF-4D35-B759-047A4BBC7295}: asks for the filter object itself.
const IID IID_IOrrick = {0x76B1C25F, 0xF1CF, 0x4D35, {0xB7, 0x59, 0x04, 0x7A, 0x4B, 0xBC, 0x72, 0x95}};

constexpr wchar_t kOrrickFilterName[] = L"Orrick Filter";
constexpr wchar_t kOrrickPageName[] = L"Orrick Property Page";
