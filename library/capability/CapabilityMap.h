#pragma once
// Lookups in the id-to-text property maps of a capability and of its playback-format records.

#include <map>
#include <string>

using CapabilityPropertyMap = std::map<int, std::wstring>;

// The stored text, or defaultValue when the id is absent.
const std::wstring& GetMapValue(const CapabilityPropertyMap& map, int id,
                                const std::wstring& defaultValue);
// The stored text read as a decimal number (0 when it is none), or defaultValue when absent.
int GetMapValueInt(const CapabilityPropertyMap& map, int id, int defaultValue);
// "true" and "false" in any case; any other text is true when it reads as a non-zero number.
bool GetMapValueBool(const CapabilityPropertyMap& map, int id, bool defaultValue);
