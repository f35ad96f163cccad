#pragma once
// Reads a built language module's string tables directly, one language at a time, for tests that
// check which texts each language carries (the resource loader would fall back to another one).

#include <windows.h>

#include <string>

// One string of one language's table; "present" tells a missing or empty string from a text.
struct TableString {
    bool present = false;
    std::wstring text;
};

TableString ReadTableString(HMODULE module, UINT id, LANGID language);

// The languages of Quillbay's language module, English first.
extern const LANGID kQuillbayModuleLanguages[12];
