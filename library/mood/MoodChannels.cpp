#include <algorithm>

#include "library/mood/MoodClassTables.h"
#include "library/mood/MoodPayloadParser.h"

namespace {

// Positions 0 to 4 are the mood-class channels, 5 to 12 the group-4 rules, 13 to 19 the group-5
// rules; the position is the channel number.
constexpr int kGroup4First = 5;
constexpr int kGroup4Rules = 8;
constexpr int kGroup5First = 13;

}  // namespace

int ClassifyMoodChannels(const uint8_t* payload, size_t size, int channels[kMoodChannelPositions]) {
  if (payload == nullptr || size == 0 || channels == nullptr) return -1;
  MoodAnalysisRecord record;
  if (ParseAnalysisRecords(payload, size, &record) != kMoodParseOk) return -1;
  int moodClass = 0;
  if (ComputeMoodClass(record, &moodClass) != 0) return 0;
  std::fill(channels, channels + kMoodChannelPositions, -1);

  const bool excluded = IsMoodExclusion(record);
  bool chosen[kMoodChannelPositions] = {};
  int ruleChannels = 0;
  for (int position = 0; position < kMoodChannelPositions; ++position) {
    if (position < kGroup4First) {
      chosen[position] = !excluded && position == kMoodBaseChannel[moodClass - 1];
    } else if (position < kGroup5First) {
      chosen[position] = EvaluateGroup4Rule(position - kGroup4First, record) == 1;
    } else {
      chosen[position] = EvaluateGroup5Rule(position - kGroup5First, record) == 1;
    }
    if (chosen[position] && position >= kGroup4First) ++ruleChannels;
  }
  if (ruleChannels == 0 && !excluded) {
    const int fallback = kMoodFallbackRule[moodClass - 1];
    if (fallback >= 0 && fallback < kGroup4Rules) chosen[kGroup4First + fallback] = true;
  }

  int count = 0;
  for (int position = 0; position < kMoodChannelPositions; ++position) {
    if (chosen[position]) channels[count++] = position;
  }
  return count;
}
