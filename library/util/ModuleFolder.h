#pragma once
// Folders of the running program and of its language resources.

#include <string>

// Drive and folder of the running program's file, with a trailing backslash; empty on failure.
std::wstring GetModuleFolder();

// GetModuleFolder() + "Resources\" + the folder of the user's UI language ("ENU\" by default).
std::wstring GetLanguageFolder();
