#pragma once
// Saves what the screen shows in a rectangle as PNG. A layered window's picture lives with the
// compositor, not in the window's DC, so the screen is what shows it.

#include <windows.h>

#include <string>

// False when nothing could be saved or the area is blank (one colour or nearly so).
bool GrabScreenArea(const RECT& area, const std::wstring& path);
