#pragma once
// The program's settings in the registry, under "Software\Tavrel Corporation\Quillbay": read from
// HKEY_CURRENT_USER, falling back to HKEY_LOCAL_MACHINE; written under HKEY_CURRENT_USER.
// Every function reports failure by its result; none throws.

#include "library/util/DateValue.h"

#include <windows.h>

#include <string>

// REG_DWORD under HKCU, the key created when missing.
bool WriteSettingDword(const std::wstring& name, DWORD value);
// HKCU, else HKLM (opened for reading only). True when found; `out` untouched otherwise.
bool ReadSetting(const std::wstring& name, DWORD* out);
// The same under HKLM only.
bool WriteMachineSettingDword(const std::wstring& name, DWORD value);
bool ReadMachineSettingDword(const std::wstring& name, DWORD* out);

// "MovieConvertCaution" found and 1.
bool IsMovieConvertCautionSet();
// "MovieConvert" missing, or 1.
bool IsMovieConvertEnabled();
// "WinPosX" into x and "WinPosY" into y, each only when found; true when both were found.
bool ReadWindowPos(int* x, int* y);

// The current player's identifier ("CurrentDevId", REG_SZ); empty when none is stored.
bool SetCurrentDevId(const std::wstring& id);
std::wstring GetCurrentDevId();

// Per-player values, named by the current player's identifier, "_" and the value's name.
// Content kind 2 is movies, 3 podcasts, any other kind music.
bool WriteSyncEnabled(int kind, bool on);
bool ReadSyncEnabled(int kind);  // true only when found and 1
bool WriteSyncAutoexec(bool on);
bool ReadSyncAutoexec();  // true only when found and 1
// Writes nothing (false) while no player identifier is stored.
bool WriteSyncPreset(int kind, DWORD value);
// The stored preset, or 4 for music, 7 for movies and 11 for podcasts when missing.
DWORD ReadSyncPreset(int kind);

// "LastUpdateYear", "LastUpdateMonth" and "LastUpdateDay" from the date's calendar fields; each
// is written as 0xFFFFFFFF when `clear` is set or the date cannot be converted. True when all
// three writes succeeded.
bool WriteLastUpdateDate(DATE date, bool clear);
// The stored date at 00:00:00; 0.0 and valid when any of the three is missing; invalid (value
// 0.0) when they hold no real date, a cleared one among them.
CDateValue ReadLastUpdateDate();

// Whether this Windows user's first start has been handled. The marker is a DWORD 1 named by the
// per-user data folder's path (reserved characters replaced) under the HKLM product key; a user
// who cannot write there gets the same marker under the HKCU product key instead, so that the
// first-start clean-up runs once rather than at every start.
bool IsFirstRunDoneForUser();
bool MarkFirstRunDoneForUser();
