#include "library/util/DestinationName.h"

#include <cwctype>

namespace {

bool IsReservedCharacter(wchar_t c) {
    return c < 0x20 || c == L'<' || c == L'>' || c == L':' || c == L'"' || c == L'/' || c == L'\\' ||
           c == L'|' || c == L'?' || c == L'*';
}

wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? wchar_t(c - L'a' + L'A') : c; }

// Windows resolves these names in every folder, with any extension, to a device.
bool IsReservedDeviceName(const std::wstring& component) {
    size_t stemLength = component.find(L'.');
    if (stemLength == std::wstring::npos) stemLength = component.size();
    // "CON .txt" opens the console as well.
    while (stemLength > 0 && component[stemLength - 1] == L' ') --stemLength;
    std::wstring stem;
    for (size_t i = 0; i < stemLength; ++i) stem += AsciiUpper(component[i]);
    if (stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL") return true;
    if (stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0)) {
        const wchar_t digit = stem[3];
        // Superscript one to three count as digits to the system's name check.
        return (digit >= L'1' && digit <= L'9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
    }
    return false;
}

bool IsSafeComponent(const std::wstring& component) {
    if (component == L"." || component == L"..") return false;
    for (wchar_t c : component) {
        if (IsReservedCharacter(c)) return false;
    }
    const wchar_t last = component.back();
    if (last == L'.' || last == L' ') return false;
    return !IsReservedDeviceName(component);
}

}  // namespace

bool IsSafeDestination(const std::wstring& destination) {
    if (destination.empty() || destination.front() == L'\\') return false;
    size_t start = 0;
    while (start <= destination.size()) {
        size_t end = destination.find(L'\\', start);
        if (end == std::wstring::npos) end = destination.size();
        if (end > start && !IsSafeComponent(destination.substr(start, end - start))) return false;
        start = end + 1;
    }
    return true;
}

std::wstring MakeSafeDestinationComponent(std::wstring component) {
    for (wchar_t& c : component) {
        if (IsReservedCharacter(c)) c = L'_';
    }
    while (!component.empty() && (component.back() == L'.' || component.back() == L' ')) component.pop_back();
    if (component.empty()) return L"_";
    if (IsReservedDeviceName(component)) component.insert(0, 1, L'_');
    return component;
}
