#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The byte count as text with its unit, in the user's UI language: the formats (one double each)
// come from the language resource module. Empty when the module lacks the format.
std::wstring FormatByteSize(int64_t byteCount, HMODULE resourceModule);

// The same for a given UI language, which decides only the decimal comma.
std::wstring FormatByteSizeForLanguage(int64_t byteCount, HMODULE resourceModule, LANGID language);
