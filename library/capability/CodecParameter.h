#pragma once
// The parameter list of a capability document's Codec element: "codec=<hex>;encryption=<text>",
// each value optionally between double quotes.

#include <windows.h>

#include <string>

// Codec ids the player may name; any other number reads as kCodecUnknown.
constexpr int kCodecUnknown = -1;
// The text names no codec (or an empty one).
constexpr int kCodecMissing = -2;

// Splits at ";" and each piece at "="; a piece of exactly two parts named "codec" or "encryption"
// (exact case) sets that value, a later one overriding an earlier one. Others are ignored.
HRESULT SplitCodecParameters(const std::wstring& text, std::wstring& codecValue,
                             std::wstring& encryptionValue);

// A hexadecimal value, plain or quoted, with an optional 0x: the known ids 0 to 5 and 0x20 to
// 0x22 as they are, kCodecUnknown for any other number or for text that is no number,
// kCodecMissing for an empty value.
int ParseCodecId(const std::wstring& value);

// The codec id of a Codec element's text, into *codecId when it is given.
HRESULT ParseCodecParameter(const std::wstring& text, int* codecId);
