#include "updater/ostrim/UpdateOutcome.h"

#include <cwchar>
#include <cwctype>

namespace {

struct StatusRow {
    unsigned long result;
    int code;
};

const StatusRow kStatusRows[] = {
    {0x80044201, 10}, {0x80044202, 11}, {0x80044203, 12}, {0x80044204, 13}, {0x80044301, 20},
    {0x80042203, 35}, {0x80044208, 40}, {0x80044207, 41}, {0x80043305, 41}, {0x80041210, 42},
    {0x80044209, 43}, {0x80043208, 43}, {0x8004420A, 44}, {0x80042202, 45}, {0x80041211, 50},
    {0x80041701, 50}, {0x80044401, 70},
};

constexpr int kOtherFailure = 90;

}  // namespace

LastUpdateStatus LastUpdateStatusFor(HRESULT result, bool reportOnly) {
    LastUpdateStatus status;
    status.groupResult = result;
    const unsigned long value = static_cast<unsigned long>(result);
    if ((result == S_OK && reportOnly) || result == S_FALSE || value == 0x8004120A || value == 0x80042301 ||
        result == E_INVALIDARG) {
        return status;
    }
    status.written = true;
    if (result == S_OK) return status;
    status.code = kOtherFailure;
    for (const StatusRow& row : kStatusRows) {
        if (row.result == value) status.code = row.code;
    }
    // Recorded, but the group does not count as failed.
    if (value == 0x80044202) status.groupResult = S_FALSE;
    return status;
}

UpdateErrorMessage UpdateErrorMessageFor(HRESULT result) {
    switch (static_cast<unsigned long>(result)) {
    case 0x80042203: return {false, 0, MB_OK};
    case 0x80040200: return {true, 2001, MB_OK};
    case 0x80040201: return {true, 2002, MB_ICONERROR};
    case 0x80040202: return {true, 2003, MB_OK};
    case 0x80041211: return {true, 2005, MB_ICONERROR};
    case 0x8007000E: return {true, 2006, MB_OK};
    default: return {true, 2004, MB_ICONERROR};
    }
}

std::wstring FormatWithResult(const std::wstring& format, HRESULT result) {
    std::wstring text;
    bool used = false;
    size_t i = 0;
    while (i < format.size()) {
        if (format[i] != L'%') {
            text += format[i++];
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == L'%') {
            text += L'%';
            i += 2;
            continue;
        }
        size_t end = i + 1;
        while (end < format.size() && wcschr(L"-+ #0", format[end]) != nullptr) ++end;
        size_t width = 0;
        while (end < format.size() && iswdigit(format[end]) && width < 3) {
            ++end;
            ++width;
        }
        if (end < format.size() && format[end] == L'l') ++end;
        if (!used && end < format.size() && wcschr(L"xXdiu", format[end]) != nullptr) {
            // A conversion of at most 16 characters: flags are few and the width has at most 3 digits.
            std::wstring conversion = format.substr(i, end - i);
            if (conversion.back() != L'l') conversion += L'l';
            conversion += format[end];
            if (conversion.size() < 16) {
                wchar_t number[64] = {};
                _snwprintf_s(number, _TRUNCATE, conversion.c_str(), static_cast<unsigned long>(result));
                text += number;
                used = true;
                i = end + 1;
                continue;
            }
        }
        text += format[i++];
    }
    return text;
}

const wchar_t* ProductNameFor(const wchar_t* programId) {
    static const wchar_t* const kRows[][2] = {{L"Quorvel", L"Tornelle Launcher"}, {L"Ostrim", L"Quillbay"}};
    for (const auto& row : kRows) {
        if (programId != nullptr && _wcsicmp(programId, row[0]) == 0) return row[1];
    }
    return L"";
}
