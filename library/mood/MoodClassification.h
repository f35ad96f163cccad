#pragma once

#include <cstddef>
#include <cstdint>

#include "library/mood/MoodAnalysisRecord.h"

constexpr int kMoodClassCount = 48;
constexpr int kMoodChannelPositions = 20;
constexpr int kMoodFeatureCount = 5;

// Channel numbers (0 to 19) the song belongs to, ascending, written to `channels`; returns how many
// (0 when the class cannot be computed), or -1 when the payload is missing or does not parse.
int ClassifyMoodChannels(const uint8_t* payload, size_t size, int channels[kMoodChannelPositions]);

// Feature 0 is the tempo (60 to 180), features 1 to 4 are mood scores (0 to 100); -1.0 marks a
// feature whose inputs are absent. Returns 0, 3 for bad arguments, else the parse failure code.
int ComputeMoodFeatures(const uint8_t* payload, size_t size, double features[kMoodFeatureCount]);

// The mood class 1 to 48 of the nearest centroid; -1 when an input slot is absent.
int ComputeMoodClass(const MoodAnalysisRecord& record, int* moodClass);

// 1 true, 0 false, -1 undecided (the class cannot be computed).
int EvaluateGroup4Rule(int value, const MoodAnalysisRecord& record);
int EvaluateGroup5Rule(int value, const MoodAnalysisRecord& record);

// Songs this holds for are kept out of the mood channels (only the every-track channel remains).
bool IsMoodExclusion(const MoodAnalysisRecord& record);

double NormalCdf(double x);
double ZScore(double mean, double standardDeviation, double x);
