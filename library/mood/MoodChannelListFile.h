#pragma once

#include <string>
#include <vector>

// Channel list files: UTF-16LE text without byte-order mark; the entry count in decimal, then one
// entry per line, oldest first; every line ends with CR LF.

// The longest entry a list can hold (a track path on the player).
constexpr size_t kMoodMaxTrackPath = 257;

// Appends the file's entries to `list`. Returns kMoodExportOk, kMoodExportCannotOpen, or
// kMoodExportMalformed for a line longer than any entry (the entries before it stay).
int ReadChannelListFile(std::vector<std::wstring>& list, const std::wstring& path);

// Returns kMoodExportOk, kMoodExportFormatFailed, kMoodExportCannotOpen or kMoodExportWriteFailed.
int WriteChannelListFile(const std::vector<std::wstring>& list, const std::wstring& path);
