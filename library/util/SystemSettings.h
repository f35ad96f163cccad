#pragma once
// Registry values outside the program's own settings: the logon entry of the device detector,
// the data folders of the maker's older applications and the user's proxy.

#include <string>

// HKLM "Software\Microsoft\Windows\CurrentVersion\Run" value "QuillbayDetector.exe" = path.
bool WriteDetectorRunEntry(const std::wstring& path);

// "PackageRootDir" of an HKLM key; empty when missing.
std::wstring ReadPackageRootDir(const std::wstring& keyPath);
std::wstring ReadDunmarshJukeboxRoot();
std::wstring ReadBrightwellRoot();
std::wstring ReadMerrowlynRoot();

// From HKCU Internet Settings: `enabled` is "ProxyEnable" != 0 (false when missing); "ProxyServer"
// is split at its first ':' into host and the decimal port after it. True only when it could be
// split; host and port are untouched otherwise.
bool GetSystemProxy(bool* enabled, std::wstring* host, long* port);
