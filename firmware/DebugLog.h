#pragma once
// The library's trace: lines for a debugger, written with OutputDebugStringW.

#include <windows.h>

void DebugLine(const wchar_t* text);
// printf-style; lines longer than 1,024 characters are cut.
void DebugFormat(const wchar_t* format, ...);

// Tests watch the trace through a sink that sees every line as well; null removes it.
using DebugSink = void (*)(const wchar_t* line);
void SetDebugSink(DebugSink sink);
