#include "library/device/DestinationName.h"

#include <cwchar>
#include <cwctype>

namespace {

// Names the file system takes for devices, whatever extension follows; the superscript digits
// count as digits there too.
bool IsDeviceName(const std::wstring& name) {
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    for (wchar_t& c : stem) c = static_cast<wchar_t>(towupper(c));
    static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* device : kDevices) {
        if (stem == device) return true;
    }
    if (stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0)) {
        const wchar_t digit = stem[3];
        return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' ||
               digit == L'\u00B3';
    }
    return false;
}

bool IsReservedCharacter(wchar_t c) {
    return c < 0x20 || wcschr(L"<>:\"/\\|?*", c) != nullptr;
}

}  // namespace

bool CDestinationName::IsSafeComponent(const std::wstring& name) {
    if (name.empty() || name.size() > kMaxComponentLength || name == L"." || name == L"..") return false;
    for (wchar_t c : name) {
        if (IsReservedCharacter(c)) return false;
    }
    if (name.back() == L'.' || name.back() == L' ') return false;
    return !IsDeviceName(name);
}

bool CDestinationName::IsSafeRelativePath(const std::wstring& path) {
    if (path.empty() || path.size() > kMaxPathLength) return false;
    for (const std::wstring& component : Split(path)) {
        if (!IsSafeComponent(component)) return false;
    }
    return true;
}

std::vector<std::wstring> CDestinationName::Split(const std::wstring& path) {
    std::vector<std::wstring> components;
    size_t start = 0;
    for (;;) {
        const size_t end = path.find(L'\\', start);
        components.push_back(path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return components;
}
