#include "updater/oplogsys/AnsiText.h"

#include <windows.h>

#include <cwchar>

namespace opLogSys {

size_t AnsiPrefixLength(const char* bytes, size_t size, size_t limit) {
    size_t end = 0;
    while (end < size) {
        const size_t step = (IsDBCSLeadByte(static_cast<BYTE>(bytes[end])) && end + 1 < size) ? 2 : 1;
        if (end + step > limit) break;
        end += step;
    }
    return end;
}

std::string ToAnsiLine(const wchar_t* text) {
    if (!text || !*text) return std::string();
    // A character takes at most two bytes in an ANSI code page, and no more than kMaxAnsiBytes
    // characters can fit, so the rest of a long text is never converted.
    const size_t length = wcsnlen(text, kMaxAnsiBytes);
    std::string bytes(length * 2, '\0');
    const int written = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), bytes.data(),
                                            static_cast<int>(bytes.size()), nullptr, nullptr);
    if (written <= 0) return std::string();
    bytes.resize(AnsiPrefixLength(bytes.data(), static_cast<size_t>(written), kMaxAnsiBytes));
    return bytes;
}

}  // namespace opLogSys
