#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// What one mood table keeps of a track.
struct MoodTableEntry {
  uint8_t moodByte = 0;           // the table's mood score as a byte
  uint8_t invertedTempoByte = 0;  // 255 minus the tempo byte: slow songs sort first
};

// Track path on the player to its entry.
using MoodTableMap = std::map<std::wstring, MoodTableEntry>;

// Feature 0 (tempo, 60 to 180) and features 1 to 4 (scores, 0 to 100) scaled to 0 to 255.
uint8_t MoodFeatureToByte(int featureIndex, double value);

// Mood table files: a big-endian record count, then 4-byte records: the track's big-endian
// 16-bit position in the mood list (1 = first entry), its inverted tempo byte, its mood byte.
// `moodList` holds the entries of the mood list the positions refer to.

// Adds the file's records to `map`; tracks already in it keep their entries. Returns
// kMoodExportOk, kMoodExportOutOfMemory, kMoodExportCannotOpen, kMoodExportShortRead or
// kMoodExportMalformed.
int ReadMoodTableFile(const std::wstring& path, const std::vector<std::wstring>& moodList, MoodTableMap& map);

// Writes a record for each entry of `moodList` that `map` holds, sorted by inverted tempo byte
// and then mood byte, both descending; equal records keep the order of the list. Returns
// kMoodExportOk, kMoodExportCannotOpen or kMoodExportWriteFailed.
int WriteMoodTableFile(const std::wstring& path, const std::vector<std::wstring>& moodList, const MoodTableMap& map);
