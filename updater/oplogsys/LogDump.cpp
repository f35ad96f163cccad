#include "updater/oplogsys/LogDump.h"

#include <cwchar>
#include <string>

namespace opLogSys {
namespace {

constexpr unsigned kMaxBytesPerRow = 64;

void WriteFramed(ILog* log, const wchar_t* format, const std::wstring& text) {
    wchar_t line[1024] = {};
    std::swprintf(line, 1024, format, text.c_str());
    log->Write(line);
}

// A byte as the ANSI code page shows it; control bytes that would break the line are blanks.
wchar_t ShownCharacter(unsigned char byte) {
    switch (byte) {
        case 0: case 7: case 8: case 9: case 10: case 12: case 13:
            return L' ';
        default: {
            wchar_t shown = L' ';
            const char narrow = static_cast<char>(byte);
            return MultiByteToWideChar(CP_ACP, 0, &narrow, 1, &shown, 1) == 1 ? shown : L'?';
        }
    }
}

}  // namespace

HRESULT WriteDump(ILog* log, const wchar_t* title, const void* data, size_t size, unsigned bytesPerRow) {
    const std::wstring heading = title ? title : L"";
    log->Write(L"\x2530");
    WriteFramed(log, L"\x2503[%ls]", heading);
    HRESULT result = S_OK;
    if (size > 0 && (!data || IsBadReadPtr(data, size))) {
        log->Write(L"\x2503" L"Bad read Pointer.");
        result = E_POINTER;
    } else if (bytesPerRow == 0 || bytesPerRow > kMaxBytesPerRow) {
        log->Write(L"\x2503" L"Invalided Parameter : nLineSize == 0 || nLineSize > 64");
        result = E_INVALIDARG;
    } else {
        log->Write(L"\x2503");
        std::wstring numbers, underline;
        for (unsigned column = 0; column < bytesPerRow; ++column) {
            wchar_t number[8] = {};
            std::swprintf(number, 8, L"%02X ", column);
            if (column % 8 == 0) {
                numbers += L' ';
                underline += L' ';
            }
            numbers += number;
            underline += L"---";
        }
        WriteFramed(log, L"\x2503%ls", numbers);
        WriteFramed(log, L"\x2503%ls", underline);
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        for (size_t row = 0; row < size; row += bytesPerRow) {
            std::wstring hex, shown;
            for (unsigned column = 0; column < bytesPerRow; ++column) {
                if (column % 8 == 0) hex += L' ';
                const size_t at = row + column;
                if (at < size) {
                    wchar_t value[8] = {};
                    std::swprintf(value, 8, L"%02X ", bytes[at]);
                    hex += value;
                    shown += ShownCharacter(bytes[at]);
                } else {
                    hex += L"   ";
                    shown += L' ';
                }
            }
            wchar_t line[1024] = {};
            std::swprintf(line, 1024, L"\x2503%ls    %ls", hex.c_str(), shown.c_str());
            log->Write(line);
        }
    }
    log->Write(L"\x2538");
    return result;
}

}  // namespace opLogSys
