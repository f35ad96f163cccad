#pragma once
// Registry plumbing shared by the settings store's source files; not for other callers.

#include "library/util/ScopedWin.h"

#include <windows.h>

#include <string>

namespace registry {

extern const wchar_t kProductKey[];

// Opens `subKey` of a root for reading; false when it cannot be opened.
bool OpenForRead(HKEY root, const wchar_t* subKey, CScopedRegKey* key);
// Opens `subKey` with full access, creating it when missing.
bool CreateForWrite(HKEY root, const wchar_t* subKey, CScopedRegKey* key);
// The same under HKEY_LOCAL_MACHINE; fails as for a standard user while machine writes are
// blocked (SetMachineSettingsWritableForTest).
bool CreateMachineKeyForWrite(const wchar_t* subKey, CScopedRegKey* key);

// A REG_DWORD of exactly 4 bytes; `out` untouched unless true.
bool ReadDword(HKEY key, const wchar_t* name, DWORD* out);
bool WriteDword(HKEY key, const wchar_t* name, DWORD value);
// A REG_SZ, always cut at its first null even when stored without one; `out` untouched unless true.
bool ReadString(HKEY key, const wchar_t* name, std::wstring* out);
// A REG_SZ whose stored length includes the terminating null.
bool WriteString(HKEY key, const wchar_t* name, const std::wstring& value);

}  // namespace registry
