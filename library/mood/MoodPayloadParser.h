#pragma once

#include <cstddef>
#include <cstdint>

#include "library/mood/MoodAnalysisRecord.h"

enum MoodParseResult {
  kMoodParseOk = 0,
  kMoodParseMalformed = 1,  // no records, a record longer than the rest, or a bad record
  kMoodParseOutOfMemory = 2,
  kMoodParseBadArguments = 3,
};

// The payload is a chain of records: a 20-byte header (four-letter tag, 12 bytes not read, a
// big-endian data length at offset 16) followed by the data. Untrusted input: every length is
// checked against what remains. Fills `record` from scratch; returns a MoodParseResult.
int ParseAnalysisRecords(const uint8_t* payload, size_t size, MoodAnalysisRecord* record);
