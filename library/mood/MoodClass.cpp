#include <cmath>

#include "library/mood/MoodClassTables.h"
#include "library/mood/MoodSlotReader.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

int ComputeMoodClass(const MoodAnalysisRecord& record, int* moodClass) {
  MoodSlotReader s(record);
  const double input[kMoodClassInputs] = {
      double(s.B(27)),
      s.B(25) * 1.5936758518219,
      s.B(1) * 1.15345323085785,
      s.B(32) * 2.74915981292725,
      s.B(34) * 1.5135612487793,
      double(s.B(9)),
      s.B(22) * 1.69746172428131,
      s.B(30) * 1.22800469398499,
      s.B(2) * 2.7302348613739,
      double(s.B(7)),
      s.B(33) * 1.75307297706604,
      s.B(23) * 0.761728167533875,
      s.B(4) * 0.945366084575653,
      double(s.B(21)),
      s.B(35) * 0.920025825500488,
      s.B(6) * 0.637382328510284,
  };
  if (!s.AllPresent() || moodClass == nullptr) return -1;

  int nearest = 0;
  double nearestDistance = 0.0;
  for (int c = 0; c < kMoodClassCount; ++c) {
    double distance = 0.0;
    for (int i = 0; i < kMoodClassInputs; ++i) distance += std::fabs(input[i] - kMoodClassCentroids[c][i]);
    // Strictly smaller: on equal distances the lower class stays.
    if (c == 0 || distance < nearestDistance) {
      nearest = c;
      nearestDistance = distance;
    }
  }
  *moodClass = nearest + 1;
  return 0;
}

double NormalCdf(double x) {
  const double g = std::exp(-x * x / 2.0) * x / std::sqrt(2.0 * kPi);
  double term = g;
  double sum = g;
  for (int n = 3; n < 200; n += 2) {
    term = term * x * x / n;
    if (sum + term == sum) return sum + term + 0.5;
    sum += term;
  }
  return x > 0.0 ? 1.0 : 0.0;
}

double ZScore(double mean, double standardDeviation, double x) {
  if (standardDeviation <= 0.0) return 0.0;
  return (x - mean) / standardDeviation;
}
