#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "library/mood/MoodClassification.h"
#include "library/mood/MoodPayloadParser.h"

// Feeds untrusted payloads through the parser and everything computed from it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MoodAnalysisRecord record;
  const int parsed = ParseAnalysisRecords(data, size, &record);
  if (parsed != kMoodParseOk && parsed != kMoodParseMalformed && size != 0) std::abort();

  int channels[kMoodChannelPositions];
  const int count = ClassifyMoodChannels(data, size, channels);
  if (count < -1 || count > kMoodChannelPositions) std::abort();
  for (int i = 0; i < count; ++i) {
    if (channels[i] < 0 || channels[i] >= kMoodChannelPositions) std::abort();
  }

  double features[kMoodFeatureCount];
  if (ComputeMoodFeatures(data, size, features) == 0) {
    for (int f = 1; f < kMoodFeatureCount; ++f) {
      if (features[f] != -1.0 && (features[f] < 0.0 || features[f] > 100.0)) std::abort();
    }
  }
  return 0;
}
