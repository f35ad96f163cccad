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

}  // namespace

bool Utf8ToWide(const char* utf8, std::wstring* out) {
    if (utf8 == nullptr || out == nullptr) return false;
    int inputLength = ToApiLength(strlen(utf8));
    if (inputLength < 0) return false;
    if (inputLength == 0) {
        out->clear();
        return true;
    }
    int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, inputLength, nullptr, 0);
    if (needed <= 0) return false;
    std::vector<wchar_t> buffer;
    try {
        buffer.resize(static_cast<size_t>(needed) + 1);
    } catch (const std::bad_alloc&) {
        return false;
    }
    int written = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, inputLength, buffer.data(), needed);
    if (written != needed) return false;
    try {
        out->assign(buffer.data(), static_cast<size_t>(written));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool Utf8ToWide(const std::string& utf8, std::wstring* out) { return Utf8ToWide(utf8.c_str(), out); }

bool WideToUtf8(const wchar_t* wide, std::string* out) {
    if (wide == nullptr || out == nullptr) return false;
    int inputLength = ToApiLength(wcslen(wide));
    if (inputLength < 0) return false;
    if (inputLength == 0) {
        out->clear();
        return true;
    }
    int needed = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, inputLength, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return false;
    std::vector<char> buffer;
    try {
        buffer.resize(static_cast<size_t>(needed) + 1);
    } catch (const std::bad_alloc&) {
        return false;
    }
    int written = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, inputLength, buffer.data(), needed,
                                      nullptr, nullptr);
    if (written != needed) return false;
    try {
        out->assign(buffer.data(), static_cast<size_t>(written));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
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
