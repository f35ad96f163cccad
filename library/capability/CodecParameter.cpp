#include "library/capability/CodecParameter.h"

#include <cwctype>
#include <stdlib.h>

#include <vector>

namespace {

std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(separator, start);
        if (end == std::wstring::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

bool IsKnownCodecId(unsigned long id) {
    return id <= 5 || (id >= 0x20 && id <= 0x22);
}

}  // namespace

HRESULT SplitCodecParameters(const std::wstring& text, std::wstring& codecValue,
                             std::wstring& encryptionValue) {
    for (const std::wstring& piece : Split(text, L';')) {
        std::vector<std::wstring> parts = Split(piece, L'=');
        if (parts.size() != 2) continue;
        if (parts[0] == L"codec") {
            codecValue = parts[1];
        } else if (parts[0] == L"encryption") {
            encryptionValue = parts[1];
        }
    }
    return S_OK;
}

int ParseCodecId(const std::wstring& value) {
    if (value.empty()) return kCodecMissing;
    const wchar_t* cursor = value.c_str();
    while (std::iswspace(*cursor)) ++cursor;
    if (*cursor == L'"') ++cursor;
    while (std::iswspace(*cursor)) ++cursor;
    if (!std::iswxdigit(*cursor)) return kCodecUnknown;
    wchar_t* end = nullptr;
    unsigned long id = wcstoul(cursor, &end, 16);
    if (end == cursor) return kCodecUnknown;
    return IsKnownCodecId(id) ? static_cast<int>(id) : kCodecUnknown;
}

HRESULT ParseCodecParameter(const std::wstring& text, int* codecId) {
    std::wstring codecValue;
    std::wstring encryptionValue;
    HRESULT hr = SplitCodecParameters(text, codecValue, encryptionValue);
    if (FAILED(hr)) return hr;
    if (codecId) *codecId = ParseCodecId(codecValue);
    return S_OK;
}
