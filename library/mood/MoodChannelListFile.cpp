#include "library/mood/MoodChannelListFile.h"

#include <cwchar>
#include <new>

#include "library/mood/MoodExportCodes.h"
#include "library/mood/MoodFileAccess.h"
#include "library/mood/MoodFileReplace.h"

namespace {

// An entry and its CR LF: every line the writer produces must read back.
constexpr size_t kMaxLineUnits = kMoodMaxTrackPath + 2;
constexpr char16_t kCr = 0x000D;
constexpr char16_t kLf = 0x000A;

// wchar_t is a UTF-16 unit on Windows and a whole code point elsewhere.
std::wstring WideFromUtf16(const std::u16string& units) {
  std::wstring wide;
  wide.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    uint32_t c = units[i];
    if (sizeof(wchar_t) == 4 && c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    }
    wide += wchar_t(c);
  }
  return wide;
}

void AppendUnit(std::string& bytes, uint32_t unit) {
  bytes += char(unit & 0xFF);
  bytes += char((unit >> 8) & 0xFF);
}

void AppendUtf16Le(std::string& bytes, const std::wstring& text) {
  for (wchar_t wide : text) {
    const uint32_t c = uint32_t(wide);
    if (c >= 0x10000 && c <= 0x10FFFF) {
      AppendUnit(bytes, 0xD800 + ((c - 0x10000) >> 10));
      AppendUnit(bytes, 0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      AppendUnit(bytes, c);
    }
  }
}

int ReadLines(FILE* file, std::vector<std::wstring>& list) {
  std::u16string line;
  line.reserve(kMaxLineUnits);
  bool countLine = true;
  unsigned char chunk[4096];
  size_t carried = 0;  // an odd byte left from the previous chunk
  for (;;) {
    const size_t got = std::fread(chunk + carried, 1, sizeof(chunk) - carried, file);
    if (got == 0) break;
    const size_t available = carried + got;
    const size_t whole = available - available % 2;
    for (size_t i = 0; i < whole; i += 2) {
      if (line.size() == kMaxLineUnits) return kMoodExportMalformed;
      line += char16_t(chunk[i] | (chunk[i + 1] << 8));
      const size_t held = line.size();
      if (held >= 2 && line[held - 2] == kCr && line[held - 1] == kLf) {
        line.pop_back();
        line.pop_back();
        if (!countLine) list.push_back(WideFromUtf16(line));
        countLine = false;
        line.clear();
      }
    }
    carried = available - whole;
    if (carried != 0) chunk[0] = chunk[whole];
  }
  // A last line without CR LF is incomplete and dropped.
  return kMoodExportOk;
}

}  // namespace

int ReadChannelListFile(std::vector<std::wstring>& list, const std::wstring& path) {
  try {
    const moodfile::ScopedFile file(moodfile::Open(path, "rb"));
    if (!file) return kMoodExportCannotOpen;
    return ReadLines(file.get(), list);
  } catch (const std::bad_alloc&) {
    return kMoodExportOutOfMemory;
  }
}

int WriteChannelListFile(const std::vector<std::wstring>& list, const std::wstring& path) {
  wchar_t count[24];
  if (std::swprintf(count, sizeof(count) / sizeof(count[0]), L"%lu", static_cast<unsigned long>(list.size())) < 0) {
    return kMoodExportFormatFailed;
  }
  try {
    std::string bytes;
    AppendUtf16Le(bytes, count);
    AppendUtf16Le(bytes, L"\r\n");
    for (const std::wstring& entry : list) {
      AppendUtf16Le(bytes, entry);
      AppendUtf16Le(bytes, L"\r\n");
    }
    return WriteFileReplacing(path, bytes);
  } catch (const std::bad_alloc&) {
    return kMoodExportOutOfMemory;
  }
}
