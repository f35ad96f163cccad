#include "library/mood/MoodTableFile.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "library/mood/MoodBigEndian.h"
#include "library/mood/MoodExportCodes.h"
#include "library/mood/MoodFileAccess.h"
#include "library/mood/MoodFileReplace.h"

namespace {

constexpr uint64_t kCountSize = 4;
constexpr uint64_t kRecordSize = 4;

struct TableRecord {
  uint16_t position;
  MoodTableEntry entry;
};

void AppendBe32(std::string& bytes, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) bytes += char((value >> shift) & 0xFF);
}

int ReadRecords(FILE* file, const std::vector<std::wstring>& moodList, MoodTableMap& map) {
  uint64_t size = 0;
  if (!moodfile::SizeOf(file, &size)) return kMoodExportShortRead;
  // A table of no tracks is the bare count: it is as valid as any other.
  if (size < kCountSize) return kMoodExportMalformed;
  uint8_t bytes[kCountSize];
  if (std::fread(bytes, 1, kCountSize, file) != kCountSize) return kMoodExportShortRead;
  const uint32_t count = ReadBigEndian32(bytes);
  if (count > (size - kCountSize) / kRecordSize) return kMoodExportMalformed;

  for (uint32_t k = 0; k < count; ++k) {
    uint8_t record[kRecordSize];
    if (std::fread(record, 1, kRecordSize, file) != kRecordSize) return kMoodExportShortRead;
    const size_t position = ReadBigEndian16(record);
    if (position == 0 || position > moodList.size()) continue;
    MoodTableEntry entry;
    entry.invertedTempoByte = record[2];
    entry.moodByte = record[3];
    map.emplace(moodList[position - 1], entry);
  }
  return kMoodExportOk;
}

}  // namespace

uint8_t MoodFeatureToByte(int featureIndex, double value) {
  double scaled;
  if (featureIndex == 0) {
    scaled = (value - 60.0) * 255.0 / 120.0;
  } else if (featureIndex >= 1 && featureIndex <= 4) {
    scaled = (value - 0.0) * 255.0 / 100.0;
  } else {
    return 0;
  }
  // Features stay in their ranges; anything no integer can hold gives 0 rather than undefined.
  scaled = std::trunc(scaled);
  if (!(std::fabs(scaled) < 9.0e15)) return 0;
  return uint8_t(int64_t(scaled) & 0xFF);
}

int ReadMoodTableFile(const std::wstring& path, const std::vector<std::wstring>& moodList, MoodTableMap& map) {
  try {
    const moodfile::ScopedFile file(moodfile::Open(path, "rb"));
    if (!file) return kMoodExportCannotOpen;
    return ReadRecords(file.get(), moodList, map);
  } catch (const std::bad_alloc&) {
    return kMoodExportOutOfMemory;
  }
}

int WriteMoodTableFile(const std::wstring& path, const std::vector<std::wstring>& moodList,
                       const MoodTableMap& map) {
  try {
    std::vector<TableRecord> records;
    // Positions are 16-bit; the mood list holds far fewer entries.
    const size_t listed = std::min<size_t>(moodList.size(), 0xFFFF);
    for (size_t k = 0; k < listed; ++k) {
      const auto found = map.find(moodList[k]);
      if (found != map.end()) records.push_back({uint16_t(k + 1), found->second});
    }
    std::stable_sort(records.begin(), records.end(), [](const TableRecord& a, const TableRecord& b) {
      if (a.entry.invertedTempoByte != b.entry.invertedTempoByte) {
        return a.entry.invertedTempoByte > b.entry.invertedTempoByte;
      }
      return a.entry.moodByte > b.entry.moodByte;
    });

    std::string bytes;
    bytes.reserve(kCountSize + records.size() * kRecordSize);
    AppendBe32(bytes, uint32_t(records.size()));
    for (const TableRecord& record : records) {
      bytes += char(record.position >> 8);
      bytes += char(record.position & 0xFF);
      bytes += char(record.entry.invertedTempoByte);
      bytes += char(record.entry.moodByte);
    }
    return WriteFileReplacing(path, bytes);
  } catch (const std::bad_alloc&) {
    return kMoodExportOutOfMemory;
  }
}
