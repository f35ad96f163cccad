#pragma once
// A window's text as a string, whatever its length.

#include <windows.h>

#include <string>

std::wstring GetWindowTextString(HWND hwnd);
