#include "library/util/DestinationName.h"

#include <cwchar>

namespace {

wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? wchar_t(c - L'a' + L'A') : c; }

// Names the file system takes for devices, whatever extension follows ("CON .txt" too); the
// superscript digits count as digits there.
bool IsDeviceName(const std::wstring& name) {
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    for (wchar_t& c : stem) c = AsciiUpper(c);
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

bool IsReservedCharacter(wchar_t c) { return c < 0x20 || (c != 0 && wcschr(L"<>:\"/\\|?*", c) != nullptr); }

void DropTrailingDotsAndSpaces(std::wstring* name) {
    while (!name->empty() && (name->back() == L'.' || name->back() == L' ')) name->pop_back();
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

std::wstring CDestinationName::MakeSafeComponent(std::wstring name) {
    for (wchar_t& c : name) {
        if (IsReservedCharacter(c)) c = L'_';
    }
    if (name.size() > kMaxComponentLength) name.resize(kMaxComponentLength);
    DropTrailingDotsAndSpaces(&name);
    if (name.empty()) return L"_";
    if (IsDeviceName(name)) {
        name.insert(0, 1, L'_');
        if (name.size() > kMaxComponentLength) {
            name.resize(kMaxComponentLength);
            DropTrailingDotsAndSpaces(&name);
        }
    }
    return name;
}
