#pragma once
// The system's description of an HRESULT, for the error screen.

#include <windows.h>

#include <string>

// Empty when the system has no text for it.
std::wstring FormatHResultText(HRESULT result);
