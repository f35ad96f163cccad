#include "library/util/TextConversion.h"

#include <windows.h>

#include <climits>
#include <cstring>
#include <cwchar>
#include <new>
#include <vector>

namespace {

// A length that MultiByteToWideChar and WideCharToMultiByte can take, or -1 when it is too long.
int ToApiLength(size_t length) {
    return length > static_cast<size_t>(INT_MAX) ? -1 : static_cast<int>(length);
}

// Runs a two-call conversion: `convert(nullptr, 0)` asks for the length, then it converts into a
// buffer of that length. `out` changes only when both calls succeed.
template <typename Char, typename Convert>
bool ConvertInto(Convert convert, std::basic_string<Char>* out) {
    const int needed = convert(nullptr, 0);
    if (needed <= 0) return false;
    try {
        std::vector<Char> buffer(static_cast<size_t>(needed) + 1);
        if (convert(buffer.data(), needed) != needed) return false;
        out->assign(buffer.data(), static_cast<size_t>(needed));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

}  // namespace

bool Utf8ToWide(const char* utf8, std::wstring* out) {
    if (utf8 == nullptr || out == nullptr) return false;
    const int length = ToApiLength(strlen(utf8));
    if (length < 0) return false;
    if (length == 0) {
        out->clear();
        return true;
    }
    return ConvertInto<wchar_t>(
        [&](wchar_t* buffer, int capacity) {
            return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, length, buffer, capacity);
        },
        out);
}

bool Utf8ToWide(const std::string& utf8, std::wstring* out) { return Utf8ToWide(utf8.c_str(), out); }

std::wstring Utf8ToWideLenient(const char* utf8, size_t length) {
    std::wstring out;
    if (utf8 == nullptr) return out;
    const char* end = static_cast<const char*>(std::memchr(utf8, 0, length));
    const int count = ToApiLength(end ? static_cast<size_t>(end - utf8) : length);
    if (count <= 0) return out;
    // Without MB_ERR_INVALID_CHARS each ill-formed sequence becomes U+FFFD.
    ConvertInto<wchar_t>(
        [&](wchar_t* buffer, int capacity) { return MultiByteToWideChar(CP_UTF8, 0, utf8, count, buffer, capacity); },
        &out);
    return out;
}

bool WideToUtf8(const wchar_t* wide, std::string* out) {
    if (wide == nullptr || out == nullptr) return false;
    const int length = ToApiLength(wcslen(wide));
    if (length < 0) return false;
    if (length == 0) {
        out->clear();
        return true;
    }
    return ConvertInto<char>(
        [&](char* buffer, int capacity) {
            return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, length, buffer, capacity, nullptr,
                                       nullptr);
        },
        out);
}

bool WideToUtf8(const std::wstring& wide, std::string* out) { return WideToUtf8(wide.c_str(), out); }

int CompareNoCase(const std::wstring& left, const std::wstring& right) {
    return _wcsicmp(left.c_str(), right.c_str());
}

void ReplaceReservedChars(std::wstring* text) {
    if (text == nullptr) return;
    static const wchar_t kReserved[] = L"\\/:*?\"<.>|";
    for (wchar_t& c : *text) {
        if (c != L'\0' && wcschr(kReserved, c) != nullptr) c = L'_';
    }
}

void ReplaceDotsWithCommas(std::wstring* text) {
    if (text == nullptr) return;
    for (wchar_t& c : *text) {
        if (c == L'.') c = L',';
    }
}
