#include "library/mood/MoodFileReplace.h"

#include "library/mood/MoodExportCodes.h"
#include "library/mood/MoodFileAccess.h"

int WriteFileReplacing(const std::wstring& path, const std::string& bytes) {
  const std::wstring temporary = path + L".tmp";
  moodfile::ScopedFile file(moodfile::Open(temporary, "wb"));
  if (!file) return kMoodExportCannotOpen;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  const bool flushed = std::fflush(file.get()) == 0;
  // Closing is the last chance for buffered bytes to fail, so its result counts.
  const bool closed = std::fclose(file.release()) == 0;
  if (!written || !flushed || !closed || !moodfile::Replace(temporary, path)) {
    moodfile::Remove(temporary);
    return kMoodExportWriteFailed;
  }
  return kMoodExportOk;
}
