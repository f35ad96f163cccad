#pragma once

#include <string>

// Writes `bytes` to a temporary file beside `path` and moves it over `path` only when every byte
// reached the disk, so a failed write never leaves a truncated file behind for the player.
// Returns kMoodExportOk, kMoodExportCannotOpen or kMoodExportWriteFailed.
int WriteFileReplacing(const std::wstring& path, const std::string& bytes);
