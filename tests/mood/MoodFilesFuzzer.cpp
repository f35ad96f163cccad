#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "library/mood/MoodChannelListFile.h"
#include "library/mood/MoodExportCodes.h"
#include "library/mood/MoodTableFile.h"

namespace {

// The readers take paths, as they do on the player's mirror: each input goes through a scratch
// file of this process, removed again before the next input.
const std::string& ScratchPath() {
  static const std::string path = "/tmp/mood_files_fuzzer_" + std::to_string(getpid());
  return path;
}

}  // namespace

// Feeds untrusted channel lists and mood tables, as copied from a player, through their readers.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* file = std::fopen(ScratchPath().c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size != 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
  const std::wstring path(ScratchPath().begin(), ScratchPath().end());

  std::vector<std::wstring> list;
  const int listed = ReadChannelListFile(list, path);
  if (listed != kMoodExportOk && listed != kMoodExportMalformed) std::abort();
  for (const std::wstring& entry : list) {
    if (entry.size() > kMoodMaxTrackPath) std::abort();
  }

  const std::vector<std::wstring> moodList = {L"\\a", L"\\b", L"\\c"};
  MoodTableMap map;
  const int read = ReadMoodTableFile(path, moodList, map);
  if (read != kMoodExportOk && read != kMoodExportMalformed) std::abort();
  if (map.size() > moodList.size()) std::abort();
  unlink(ScratchPath().c_str());
  return 0;
}
