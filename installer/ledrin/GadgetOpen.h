#pragma once
// Opening a gadget file through the shell's file protocol handler.

#include <windows.h>

// The parameters of "rundll32.exe" fit in this many characters, terminator included.
constexpr size_t kMaxHandlerParameters = 288;

// Starts "rundll32.exe url.dll,FileProtocolHandler <path>" hidden, without waiting, and returns the
// program's exit code: 0 when the shell took the request, ERROR_INVALID_PARAMETER without a path,
// ERROR_FILE_NOT_FOUND for a missing file, ERROR_FILENAME_EXCED_RANGE for a path too long for the
// parameters, or the shell's SE_ERR_ code.
DWORD OpenGadgetFile(const wchar_t* path);
