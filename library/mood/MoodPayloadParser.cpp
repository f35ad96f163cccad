#include "library/mood/MoodPayloadParser.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "library/mood/MoodBigEndian.h"

namespace {

constexpr size_t kHeaderSize = 20;
constexpr size_t kLengthOffset = 16;
// Bounds the work a hostile payload of tiny records can cause.
constexpr size_t kMaxRecords = 257;

constexpr size_t kStbfSize = 36;
constexpr size_t kStmoEntrySize = 16;
constexpr size_t kStmoMaxEntries = 10;
constexpr uint16_t kStmoFirstId = 0x100;
constexpr size_t kSthfEntrySize = 4;
constexpr size_t kSthfMaxEntries = 40;
constexpr uint16_t kSthfFirstId = 0x800;

// The analysis engine numbers its STHF measurements differently from the H slots.
constexpr uint8_t kSthfSlotOfId[kSthfMaxEntries] = {
    15, 16, 12, 1,  17, 4,  0,  13, 5,  7,  18, 10, 9,  19, 6,  8,  20, 21, 22, 2,
    23, 24, 25, 26, 27, 3,  28, 29, 30, 31, 32, 14, 33, 34, 35, 36, 11, 37, 38, 39};

struct RecordSpan {
  const uint8_t* tag;
  const uint8_t* data;
  size_t length;
};

float ReadBeFloat(const uint8_t* p) {
  const uint32_t bits = ReadBigEndian32(p);
  float value;
  std::memcpy(&value, &bits, sizeof(value));
  return value;
}

bool TagIs(const RecordSpan& span, const char* name) { return std::memcmp(span.tag, name, 4) == 0; }

bool ApplyStmo(const RecordSpan& span, MoodAnalysisRecord& record) {
  if (span.length % kStmoEntrySize != 0) return false;
  const size_t entries = std::min(span.length / kStmoEntrySize, kStmoMaxEntries);
  for (size_t k = 0; k < entries; ++k) {
    const uint8_t* entry = span.data + k * kStmoEntrySize;
    if (entry[2] != 0) return false;
    record.m[k] = kMoodSlotAbsent;
    const uint16_t id = ReadBigEndian16(entry);
    if (id >= kStmoFirstId && id - kStmoFirstId < kMoodSlotsM) record.m[id - kStmoFirstId] = entry[3];
  }
  return true;
}

bool ApplySthf(const RecordSpan& span, MoodAnalysisRecord& record) {
  if (span.length % kSthfEntrySize != 0) return false;
  const size_t entries = std::min(span.length / kSthfEntrySize, kSthfMaxEntries);
  for (size_t k = 0; k < entries; ++k) {
    const uint8_t* entry = span.data + k * kSthfEntrySize;
    const uint16_t id = ReadBigEndian16(entry);
    if (id >= kSthfFirstId && id - kSthfFirstId < int(kSthfMaxEntries)) {
      record.h[kSthfSlotOfId[id - kSthfFirstId]] = entry[2];
    }
  }
  return true;
}

bool ApplyRecord(const RecordSpan& span, MoodAnalysisRecord& record) {
  if (TagIs(span, "STBF")) {
    if (span.length != kStbfSize) return false;
    std::memcpy(record.b, span.data, kStbfSize);
    return true;
  }
  if (TagIs(span, "STSA")) {
    if (span.length < 4) return false;
    const uint32_t value = ReadBigEndian32(span.data);
    if (value < 0x80000000u) record.stsa = value;
    return true;
  }
  if (TagIs(span, "GBPM")) {
    if (span.length < 4) return false;
    const float value = ReadBeFloat(span.data);
    // Not a number or beyond an int cannot be truncated into the slot: as malformed as negative.
    if (!(value >= 0.0f && value < 2147483648.0f)) return false;
    record.gbpm = int32_t(value);
    return true;
  }
  if (TagIs(span, "STNM")) {
    if (span.length < 6) return false;
    record.stnmValue = ReadBeFloat(span.data);
    record.stnmCount = int16_t(ReadBigEndian16(span.data + 4));
    return true;
  }
  if (TagIs(span, "STMO")) return ApplyStmo(span, record);
  if (TagIs(span, "STHF")) return ApplySthf(span, record);
  return true;
}

}  // namespace

int ParseAnalysisRecords(const uint8_t* payload, size_t size, MoodAnalysisRecord* record) {
  if (payload == nullptr || record == nullptr) return kMoodParseBadArguments;
  *record = MoodAnalysisRecord();

  std::vector<RecordSpan> spans;
  try {
    spans.reserve(std::min(kMaxRecords, size / kHeaderSize));
  } catch (const std::bad_alloc&) {
    return kMoodParseOutOfMemory;
  }
  size_t offset = 0;
  while (size - offset >= kHeaderSize && spans.size() < kMaxRecords) {
    const uint8_t* header = payload + offset;
    const uint32_t length = ReadBigEndian32(header + kLengthOffset);
    if (length > size - offset - kHeaderSize) return kMoodParseMalformed;
    spans.push_back({header, header + kHeaderSize, length});
    offset += kHeaderSize + length;
  }
  if (spans.empty()) return kMoodParseMalformed;

  for (const RecordSpan& span : spans) {
    if (!ApplyRecord(span, *record)) return kMoodParseMalformed;
  }
  return kMoodParseOk;
}
