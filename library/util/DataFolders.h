#pragma once
// The program's data folders: per user, per player inside it, and for all users. Each path ends in
// a backslash; the getters create nothing.

#include <string>

// The per-user application-data folder + "\Tavrel Corporation\Quillbay\".
std::wstring GetUserDataFolder();
bool CreateUserDataFolder();
// GetUserDataFolder() + the current player's identifier + "\"; the data folder alone while no
// identifier is stored.
std::wstring GetDeviceDataFolder();
bool CreateDeviceDataFolder();
// The all-users application-data folder + "\Tavrel Corporation\Quillbay\".
std::wstring GetCommonDataFolder();
// Deletes the work files of the per-user data folder (see DeleteCachedFiles); with `recurse` also
// below it, removing the sub-folders that become empty.
void ClearUserDataFolder(bool recurse);
