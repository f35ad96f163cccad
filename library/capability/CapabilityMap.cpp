#include "library/capability/CapabilityMap.h"

#include <cwctype>
#include <stdlib.h>

const std::wstring& GetMapValue(const CapabilityPropertyMap& map, int id,
                                const std::wstring& defaultValue) {
    auto found = map.find(id);
    return found == map.end() ? defaultValue : found->second;
}

int GetMapValueInt(const CapabilityPropertyMap& map, int id, int defaultValue) {
    auto found = map.find(id);
    if (found == map.end()) return defaultValue;
    return _wtoi(found->second.c_str());
}

bool GetMapValueBool(const CapabilityPropertyMap& map, int id, bool defaultValue) {
    auto found = map.find(id);
    if (found == map.end()) return defaultValue;
    std::wstring value = found->second;
    for (wchar_t& c : value) c = static_cast<wchar_t>(std::towlower(c));
    if (value == L"true") return true;
    if (value == L"false") return false;
    return _wtoi(value.c_str()) != 0;
}
