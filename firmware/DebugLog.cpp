#include "firmware/DebugLog.h"

#include <cstdarg>
#include <cwchar>

namespace {

DebugSink g_sink = nullptr;

}  // namespace

void DebugLine(const wchar_t* text) {
    OutputDebugStringW(text);
    if (g_sink) g_sink(text);
}

void DebugFormat(const wchar_t* format, ...) {
    wchar_t line[1024];
    va_list arguments;
    va_start(arguments, format);
    const int written = vswprintf(line, sizeof(line) / sizeof(line[0]), format, arguments);
    va_end(arguments);
    if (written < 0) line[sizeof(line) / sizeof(line[0]) - 1] = L'\0';
    DebugLine(line);
}

void SetDebugSink(DebugSink sink) { g_sink = sink; }
