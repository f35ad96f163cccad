#pragma once
// Class identifiers of the outside decoder filters these stand-ins play, and the private media
// subtype that passes between the codec-family parse and decode stand-ins.

#include <windows.h>

// MP4-family audio decoder: byte stream on "Input", PCM on "Audio".
const CLSID CLSID_StandinMp4FamilyDecoder = {0x74DB402B, 0x1125, 0x4E9C, {0xA1, 0x54, 0x22, 0x14, 0x94, 0x02, 0xAA, 0x8F}};
// Codec-family parser: byte stream on "Input", codec-family audio on "Output".
const CLSID CLSID_StandinCodecFamilyParser = {0xEE1B2A8D, 0x404D, 0x4CED, {0x96, 0xB2, 0x52, 0xB7, 0xFA, 0x11, 0x23, 0xC3}};
// Codec-family decoder: codec-family audio on "XForm In", PCM on "XForm Out".
const CLSID CLSID_StandinCodecFamilyDecoder = {0x00D702EF, 0x6F44, 0x4C19, {0xB2, 0x1F, 0x90, 0x62, 0xE4, 0x71, 0xD2, 0x3C}};
// {3C9D51A2-7E0B-4F57-9A1D-6B2E0C4F8E11}: the stand-ins' own "codec-family audio".
const GUID MEDIASUBTYPE_StandinCodecFamily = {0x3C9D51A2, 0x7E0B, 0x4F57, {0x9A, 0x1D, 0x6B, 0x2E, 0x0C, 0x4F, 0x8E, 0x11}};
