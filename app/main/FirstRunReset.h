#pragma once
// The first start of a Windows user: what an earlier user of the same name or a broken install
// left behind must not reach this user.

#include <string>

// When this user's first start has not been handled: deletes the user's settings key (a key that
// still has subkeys stays), marks the start as handled (the mark falls back to the user's own key
// when the machine's cannot be written) and deletes the work files in and below `dataFolder` (no
// trailing backslash). True when it did so; false at every later start.
bool ResetUserAtFirstRun(const std::wstring& dataFolder);
