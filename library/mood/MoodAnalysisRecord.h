#pragma once

#include <cstdint>
#include <cstring>

// A slot holding this value carries no measurement for the song.
constexpr uint8_t kMoodSlotAbsent = 255;

constexpr int kMoodSlotsM = 10;
constexpr int kMoodSlotsH = 40;
constexpr int kMoodSlotsB = 36;

// What one mood-analysis payload says about a song. Only the M, H and B slots feed the
// classification; B1 is the song's tempo in beats per minute.
struct MoodAnalysisRecord {
  uint32_t stsa = 0;
  int32_t gbpm = 0;
  float stnmValue = 0.0f;
  int16_t stnmCount = 0;
  uint8_t m[kMoodSlotsM];
  uint8_t h[kMoodSlotsH];
  uint8_t b[kMoodSlotsB];

  MoodAnalysisRecord() {
    std::memset(m, kMoodSlotAbsent, sizeof(m));
    std::memset(h, kMoodSlotAbsent, sizeof(h));
    std::memset(b, kMoodSlotAbsent, sizeof(b));
  }
};
