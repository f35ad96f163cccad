#pragma once

#include "library/mood/MoodClassification.h"

constexpr int kMoodClassInputs = 16;

// Indexed by mood class - 1.
extern const int kMoodBaseChannel[kMoodClassCount];
extern const int kMoodFallbackRule[kMoodClassCount];
extern const double kMoodClassCentroids[kMoodClassCount][kMoodClassInputs];
