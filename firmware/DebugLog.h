#pragma once
// The library's trace: lines for a debugger, written with OutputDebugStringW.

#include <windows.h>

void DebugLine(const wchar_t* text);
// printf-style; lines longer than 1,024 characters are cut.
void DebugFormat(const wchar_t* format, ...);
