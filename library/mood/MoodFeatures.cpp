#include <algorithm>
#include <cmath>

#include "library/mood/MoodClassTables.h"
#include "library/mood/MoodPayloadParser.h"
#include "library/mood/MoodSlotReader.h"

namespace {

constexpr double kAbsentFeature = -1.0;
// Mood slots are scores centred on 50 with this spread.
constexpr double kScoreMean = 50.0;
constexpr double kScoreSpread = 16.6;
constexpr double kB3Mean = 45.75878147;
const double kSqrt2 = std::sqrt(2.0);

double Z(double slot) { return ZScore(kScoreMean, kScoreSpread, slot); }

// The engine writes 0 into an STMO slot it could not rate; such a slot counts as a weak score.
double Rated(uint8_t stmoSlot) { return stmoSlot == 0 ? 20.0 : stmoSlot; }

double Limit(double value, double low, double high) { return std::min(std::max(value, low), high); }

double Tempo(const MoodAnalysisRecord& r) {
  if (!IsPresent(r.b[1])) return kAbsentFeature;
  return Limit(r.b[1], 60.0, 180.0);
}

double Feature1(const MoodAnalysisRecord& r) {
  if (!IsPresent(r.m[5]) || !IsPresent(r.m[2])) return kAbsentFeature;
  return Limit(100.0 * NormalCdf((Z(Rated(r.m[5])) - Z(Rated(r.m[2]))) / kSqrt2), 0.0, 100.0);
}

double Feature2(const MoodAnalysisRecord& r) {
  const uint8_t b29 = r.b[29], b3 = r.b[3], h4 = r.h[4];
  if (IsPresent(b29) && IsPresent(b3) && IsPresent(h4) && h4 >= 51 && b3 <= 49 && b29 <= 39) {
    return Limit(100.0 * (1.0 - NormalCdf(Z(h4))), 0.0, 100.0);
  }
  if (!IsPresent(b3) || !IsPresent(h4)) return kAbsentFeature;
  const double value =
      100.0 * 0.5 * ((1.0 - NormalCdf(Z(h4))) + (1.0 - NormalCdf((b3 - kB3Mean) / kScoreSpread)));
  return Limit(value, 0.0, 100.0);
}

// Both forms read B29 and H13, so without them the feature stays absent.
double Feature3(const MoodAnalysisRecord& r) {
  const uint8_t h3 = r.h[3], b29 = r.b[29], h13 = r.h[13];
  if (!IsPresent(b29) || !IsPresent(h13)) return kAbsentFeature;
  double value;
  if (IsPresent(h3) && h3 >= 62) {
    value = 100.0 * (NormalCdf(Z(h3)) + NormalCdf(Z(b29)) + NormalCdf(Z(h13))) / 3.0;
  } else {
    value = 100.0 * (NormalCdf(Z(b29)) + 2.0 * NormalCdf(Z(h13))) / 3.0;
  }
  return Limit(value, 0.0, 100.0);
}

bool IsVeryEnergetic(const MoodAnalysisRecord& r) {
  MoodSlotReader s(r);
  const int h8 = s.H(8), b3 = s.B(3), b1 = s.B(1);
  s.M(4);
  if (!s.AllPresent()) return false;
  if (h8 >= 41 && b3 <= 49 && b1 >= 121) return true;
  const uint8_t h4 = r.h[4];
  return IsPresent(h4) && h8 >= 36 && b3 <= 29 && b1 >= 121 && h4 <= 29;
}

double Feature4(const MoodAnalysisRecord& r) {
  if (IsVeryEnergetic(r)) return 80.0 + 20.0 * (1.0 - NormalCdf(Z(Rated(r.m[4]))));
  int moodClass = 0;
  if (ComputeMoodClass(r, &moodClass) != 0) return kAbsentFeature;

  const uint8_t m4 = r.m[4], m5 = r.m[5], m7 = r.m[7], m8 = r.m[8], h5 = r.h[5], h13 = r.h[13];
  double p, low, high;
  switch (kMoodBaseChannel[moodClass - 1]) {
    case 0:
      if (!IsPresent(m5) || !IsPresent(m4)) return kAbsentFeature;
      p = NormalCdf((Z(Rated(m4)) - Z(Rated(m5))) / kSqrt2), low = 0.0, high = 50.0;
      break;
    case 1:
      if (!IsPresent(m8) || !IsPresent(h5)) return kAbsentFeature;
      p = NormalCdf((Z(h5) - Z(Rated(m8))) / kSqrt2), low = 20.0, high = 80.0;
      break;
    case 2:
      if (!IsPresent(m4) || !IsPresent(m7)) return kAbsentFeature;
      p = NormalCdf((Z(Rated(m7)) - Z(Rated(m4))) / kSqrt2), low = 40.0, high = 100.0;
      break;
    case 3:
      if (!IsPresent(h13)) return kAbsentFeature;
      p = 1.0 - NormalCdf(Z(h13)), low = 30.0, high = 100.0;
      break;
    default:
      if (!IsPresent(m7)) return kAbsentFeature;
      p = NormalCdf(Z(Rated(m7))), low = 60.0, high = 100.0;
      break;
  }
  return low + (high - low) * Limit(p, 0.0, 1.0);
}

}  // namespace

int ComputeMoodFeatures(const uint8_t* payload, size_t size, double features[kMoodFeatureCount]) {
  if (payload == nullptr || features == nullptr) return kMoodParseBadArguments;
  std::fill(features, features + kMoodFeatureCount, kAbsentFeature);
  MoodAnalysisRecord record;
  const int parsed = ParseAnalysisRecords(payload, size, &record);
  if (parsed != kMoodParseOk) return parsed >= 1 && parsed <= 4 ? parsed : 5;

  features[0] = Tempo(record);
  features[1] = Feature1(record);
  features[2] = Feature2(record);
  features[3] = Feature3(record);
  features[4] = Feature4(record);
  return 0;
}
