#pragma once
// The running program's own version text, as its version resource states it.

#include <string>

// The FileVersion string of the first language and code page the resource lists; empty when the
// program has no version resource or the value is missing.
std::wstring GetFileVersionString();
