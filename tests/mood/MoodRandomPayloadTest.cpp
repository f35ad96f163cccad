#include <gtest/gtest.h>

#include <random>

#include "library/mood/MoodClassification.h"
#include "library/mood/MoodPayloadParser.h"
#include "tests/mood/MoodTestSupport.h"

namespace {

// Payloads mixing well-formed records of every known tag with random lengths and bytes, cut at a
// random point now and then; the parser and the computations must stay within their contracts.
std::vector<uint8_t> RandomPayload(std::mt19937& random) {
  static const char* const kTags[] = {"STBF", "STSA", "GBPM", "STNM", "STMO", "STHF", "GMMD", "ABCD"};
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> percent(0, 99);
  std::vector<uint8_t> payload;
  const int records = std::uniform_int_distribution<int>(0, 6)(random);
  for (int r = 0; r < records; ++r) {
    const char* tag = kTags[std::uniform_int_distribution<int>(0, 7)(random)];
    size_t length;
    const int shape = percent(random);
    if (shape < 40) {
      length = std::string(tag) == "STBF" ? 36 : std::string(tag) == "STMO" ? 16 * (1 + random() % 12)
                                                                             : 4 * (1 + random() % 44);
    } else {
      length = random() % 200;
    }
    std::vector<uint8_t> data(length);
    for (uint8_t& b : data) b = uint8_t(percent(random) < 30 ? byte(random) % 4 : byte(random));
    // STMO entries need a zero third byte to be accepted; keep most of them valid.
    if (std::string(tag) == "STMO" && percent(random) < 80) {
      for (size_t i = 0; i + 3 < data.size(); i += 16) data[i] = 1, data[i + 1] = uint8_t(i % 10), data[i + 2] = 0;
    }
    AppendMoodRecord(payload, tag, data);
  }
  if (percent(random) < 20) {
    for (int i = std::uniform_int_distribution<int>(0, 30)(random); i > 0; --i) payload.push_back(uint8_t(byte(random)));
  }
  if (!payload.empty() && percent(random) < 20) payload.resize(random() % payload.size());
  if (!payload.empty() && percent(random) < 20) payload[random() % payload.size()] ^= uint8_t(1 + byte(random) % 255);
  return payload;
}

TEST(MoodRandomPayloads, NeverBreakTheContracts) {
  std::mt19937 random(20261210);
  int parsed = 0;
  for (int round = 0; round < 5000; ++round) {
    SCOPED_TRACE(round);
    const std::vector<uint8_t> payload = RandomPayload(random);
    const uint8_t* data = payload.empty() ? nullptr : payload.data();

    MoodAnalysisRecord record;
    const int parse = ParseAnalysisRecords(payload.data() ? payload.data() : reinterpret_cast<const uint8_t*>(""),
                                           payload.size(), &record);
    ASSERT_TRUE(parse == kMoodParseOk || parse == kMoodParseMalformed) << parse;
    if (parse == kMoodParseOk) ++parsed;

    int channels[kMoodChannelPositions];
    const int count = ClassifyMoodChannels(data, payload.size(), channels);
    ASSERT_GE(count, -1);
    ASSERT_LE(count, kMoodChannelPositions);
    for (int i = 0; i < count; ++i) {
      ASSERT_GE(channels[i], 0);
      ASSERT_LT(channels[i], kMoodChannelPositions);
      if (i > 0) {
        ASSERT_LT(channels[i - 1], channels[i]);
      }
    }

    double features[kMoodFeatureCount];
    const int computed = ComputeMoodFeatures(data, payload.size(), features);
    if (computed != 0) continue;
    ASSERT_TRUE(features[0] == -1.0 || (features[0] >= 60.0 && features[0] <= 180.0)) << features[0];
    for (int f = 1; f < kMoodFeatureCount; ++f) {
      ASSERT_TRUE(features[f] == -1.0 || (features[f] >= 0.0 && features[f] <= 100.0)) << f << ": " << features[f];
    }
  }
  // The mix must reach the computations, not only the parser's refusals.
  EXPECT_GT(parsed, 1000);
}

}  // namespace
