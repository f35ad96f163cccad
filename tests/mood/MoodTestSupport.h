#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "library/mood/MoodAnalysisRecord.h"

// The slots a test song carries; 255 leaves a slot absent. Payload() wraps them in the records
// the analysis engine writes: one STBF with all B slots, STMO and STHF entries for present slots.
struct MoodSong {
  uint8_t m[kMoodSlotsM];
  uint8_t h[kMoodSlotsH];
  uint8_t b[kMoodSlotsB];

  MoodSong();
  std::vector<uint8_t> Payload() const;
};

// A song whose class inputs sit on the centroid of `moodClass`, with the other B slots at
// neutral values and no M or H slots.
MoodSong SongOfClass(int moodClass);

// Appends one record: tag, 12 zero bytes, big-endian length, data.
void AppendMoodRecord(std::vector<uint8_t>& payload, const char* tag, const std::vector<uint8_t>& data);

// Standard normal distribution, computed independently of the code under test.
double ReferenceCdf(double x);

// A fresh folder under the system's temporary folder, removed with its contents at the end.
class ScopedMoodFolder {
 public:
  ScopedMoodFolder();
  ~ScopedMoodFolder();
  // The folder as the export takes it (backslash-separated below it).
  std::wstring Root() const;
  // root + "\" + relative (relative uses backslashes).
  std::wstring Path(const std::wstring& relative) const;

 private:
  std::filesystem::path folder_;
};

// Maps an export path (backslash-separated) to a local path.
std::filesystem::path LocalPath(const std::wstring& path);
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
// The text as UTF-16LE bytes (test texts are ASCII).
std::string Utf16Le(const std::wstring& text);
// A channel list file's bytes for these entries.
std::string ChannelListBytes(const std::vector<std::wstring>& entries);

// While an instance lives, every allocation through operator new fails.
class ScopedAllocationFailure {
 public:
  ScopedAllocationFailure();
  ~ScopedAllocationFailure();
};
