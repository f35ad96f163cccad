#pragma once
// Checks and use of a file the download component left on disk.

#include <windows.h>

#include <cstdint>

constexpr HRESULT kDownloadTooShort = static_cast<HRESULT>(0x80044209);
constexpr HRESULT kDownloadTooLong = static_cast<HRESULT>(0x80043208);

// 0 when the file holds exactly `expectedBytes`; E_ACCESSDENIED when it cannot be opened.
HRESULT CheckDownloadedFileSize(const wchar_t* path, uint64_t expectedBytes);

// Opens the file as the shell would on a double click; a user who cancels the elevation prompt
// is no failure.
HRESULT OpenWithShell(const wchar_t* file, const wchar_t* parameters);
