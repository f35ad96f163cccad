#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "library/mood/MoodClassification.h"
#include "library/mood/MoodPayloadParser.h"
#include "tests/mood/MoodTestSupport.h"

namespace {

using ::testing::ElementsAreArray;

std::vector<int> Channels(const MoodSong& song) {
  const std::vector<uint8_t> payload = song.Payload();
  int out[kMoodChannelPositions];
  const int count = ClassifyMoodChannels(payload.data(), payload.size(), out);
  return count < 0 ? std::vector<int>{count} : std::vector<int>(out, out + count);
}

MoodAnalysisRecord Parsed(const MoodSong& song) {
  const std::vector<uint8_t> payload = song.Payload();
  MoodAnalysisRecord record;
  EXPECT_EQ(kMoodParseOk, ParseAnalysisRecords(payload.data(), payload.size(), &record));
  return record;
}

int ClassOf(const MoodSong& song) {
  int moodClass = 0;
  EXPECT_EQ(0, ComputeMoodClass(Parsed(song), &moodClass));
  return moodClass;
}

double Z(double v) { return (v - 50.0) / 16.6; }

// Slots that make group-5 rules 2 (channel 15) and 5 (channel 18) hold for a class-34 song and
// leave every other rule without the slots it needs.
MoodSong Class34WithChannels15And18() {
  MoodSong song = SongOfClass(34);
  song.m[5] = 60, song.m[2] = 45, song.m[1] = 45, song.m[7] = 40, song.m[8] = 40, song.m[3] = 40, song.m[4] = 60;
  song.h[38] = 40, song.h[14] = 50, song.h[18] = 50, song.h[37] = 40, song.h[27] = 60;
  song.h[1] = 50, song.h[24] = 50, song.h[23] = 40;
  return song;
}

// Halfway between the centroids of classes 13 and 14.
MoodSong TieOf13And14() {
  MoodSong song = SongOfClass(13);
  song.b[27] = 40, song.b[9] = 71, song.b[7] = 63, song.b[21] = 35;
  return song;
}

TEST(MoodClass, EveryCentroidSongFallsInItsOwnClass) {
  for (int moodClass = 1; moodClass <= kMoodClassCount; ++moodClass) {
    SCOPED_TRACE(moodClass);
    EXPECT_EQ(moodClass, ClassOf(SongOfClass(moodClass)));
  }
}

TEST(MoodClass, TieGoesToTheLowerClass) {
  EXPECT_EQ(13, ClassOf(TieOf13And14()));
  MoodSong nearer14 = TieOf13And14();
  nearer14.b[27] = 41;
  EXPECT_EQ(14, ClassOf(nearer14));
}

TEST(MoodClass, NeedsEveryInput) {
  MoodSong song = SongOfClass(5);
  song.b[6] = kMoodSlotAbsent;
  int moodClass = 0;
  EXPECT_EQ(-1, ComputeMoodClass(Parsed(song), &moodClass));
}

struct ChannelCase {
  const char* name;
  MoodSong song;
  std::vector<int> channels;
};

MoodSong With(MoodSong song, void (*change)(MoodSong&)) {
  change(song);
  return song;
}

TEST(MoodChannels, ChoosesChannelsForFixtures) {
  const ChannelCase cases[] = {
      {"class 34: base channel 3 and fallback rule 1", SongOfClass(34), {3, 6}},
      {"class 17: fallback 9 adds nothing", SongOfClass(17), {2}},
      {"class 13: base 1 and fallback rule 6", SongOfClass(13), {1, 11}},
      {"class 14: base 2 and fallback rule 2", SongOfClass(14), {2, 7}},
      {"centroid tie: class 13 wins", TieOf13And14(), {1, 11}},
      {"B24 = 0 excludes every mood channel", With(SongOfClass(34), [](MoodSong& s) { s.b[24] = 0; }), {}},
      {"missing B24 excludes nothing", With(SongOfClass(34), [](MoodSong& s) { s.b[24] = kMoodSlotAbsent; }),
       {3, 6}},
      {"H exclusion", With(SongOfClass(34), [](MoodSong& s) { s.h[20] = 60, s.h[18] = 70, s.h[10] = 30; }), {}},
      {"rule 7 holds: no fallback", With(SongOfClass(34), [](MoodSong& s) { s.h[38] = 60, s.b[26] = 60; }),
       {3, 12}},
      {"group-5 rules 2 and 5", Class34WithChannels15And18(), {3, 15, 18}},
  };
  for (const ChannelCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_THAT(Channels(c.song), ElementsAreArray(c.channels));
  }
}

TEST(MoodChannels, RefusesPayloadsItCannotUse) {
  int out[kMoodChannelPositions];
  const std::vector<uint8_t> twelve(12, 0);
  EXPECT_EQ(-1, ClassifyMoodChannels(nullptr, 40, out));
  EXPECT_EQ(-1, ClassifyMoodChannels(twelve.data(), 0, out));
  EXPECT_EQ(-1, ClassifyMoodChannels(twelve.data(), twelve.size(), out));
  std::vector<uint8_t> onlyScores;
  AppendMoodRecord(onlyScores, "STHF", {0x08, 0x00, 50, 0});
  EXPECT_EQ(0, ClassifyMoodChannels(onlyScores.data(), onlyScores.size(), out));
}

TEST(MoodRules, RulesExcludeEachOther) {
  MoodSong fast = SongOfClass(34);
  fast.b[1] = 130, fast.b[25] = 50, fast.h[15] = 60;
  EXPECT_EQ(1, EvaluateGroup4Rule(0, Parsed(fast)));
  fast.h[38] = 60, fast.b[26] = 60;  // rule 7 holds and shuts rule 0 out
  EXPECT_EQ(1, EvaluateGroup4Rule(7, Parsed(fast)));
  EXPECT_EQ(0, EvaluateGroup4Rule(0, Parsed(fast)));
}

TEST(MoodRules, ExclusionAndUndecided) {
  MoodSong excluded = SongOfClass(34);
  excluded.b[24] = 0;
  excluded.h[38] = 60, excluded.b[26] = 60;
  EXPECT_EQ(1, EvaluateGroup4Rule(9, Parsed(excluded)));
  EXPECT_EQ(0, EvaluateGroup4Rule(7, Parsed(excluded)));
  EXPECT_EQ(0, EvaluateGroup4Rule(9, Parsed(SongOfClass(34))));
  EXPECT_EQ(0, EvaluateGroup4Rule(8, Parsed(SongOfClass(34))));
  EXPECT_EQ(0, EvaluateGroup5Rule(7, Parsed(SongOfClass(34))));

  MoodSong noClass = Class34WithChannels15And18();
  EXPECT_EQ(1, EvaluateGroup5Rule(5, Parsed(noClass)));
  noClass.b[35] = kMoodSlotAbsent;
  EXPECT_EQ(-1, EvaluateGroup5Rule(5, Parsed(noClass)));
  EXPECT_EQ(-1, EvaluateGroup4Rule(9, Parsed(noClass)));
}

TEST(MoodRules, AnOrStillNeedsEverySlotItNames) {
  // Rule 0 of group 4, test (a): B2 > 55 alone would do, but M1 and M6 must be present too.
  MoodSong song = SongOfClass(34);
  song.m[4] = 60, song.b[1] = 125, song.b[25] = 50, song.h[5] = 40, song.b[2] = 60, song.m[1] = 10;
  EXPECT_EQ(0, EvaluateGroup4Rule(0, Parsed(song)));
  song.m[6] = 10;
  EXPECT_EQ(1, EvaluateGroup4Rule(0, Parsed(song)));
}

std::vector<double> Features(const MoodSong& song) {
  const std::vector<uint8_t> payload = song.Payload();
  double features[kMoodFeatureCount];
  EXPECT_EQ(0, ComputeMoodFeatures(payload.data(), payload.size(), features));
  return std::vector<double>(features, features + kMoodFeatureCount);
}

struct FeatureCase {
  const char* name;
  MoodSong song;
  int feature;
  double expected;
};

TEST(MoodFeatures, ComputesFeaturesForFixtures) {
  const double root2 = std::sqrt(2.0);
  const FeatureCase cases[] = {
      {"B1 = 40 gives the lowest tempo", With(SongOfClass(34), [](MoodSong& s) { s.b[1] = 40; }), 0, 60.0},
      {"B1 = 200 gives the highest tempo", With(SongOfClass(34), [](MoodSong& s) { s.b[1] = 200; }), 0, 180.0},
      {"B1 absent", With(SongOfClass(34), [](MoodSong& s) { s.b[1] = kMoodSlotAbsent; }), 0, -1.0},
      {"zero M slots count as 20", With(SongOfClass(34), [](MoodSong& s) { s.m[5] = 0, s.m[2] = 20; }), 1, 50.0},
      {"F1", With(SongOfClass(34), [](MoodSong& s) { s.m[5] = 0, s.m[2] = 50; }), 1,
       100.0 * ReferenceCdf((Z(20) - Z(50)) / root2)},
      {"F1 needs M2", With(SongOfClass(34), [](MoodSong& s) { s.m[5] = 60; }), 1, -1.0},
      {"zero H slot counts as 0", With(SongOfClass(34), [](MoodSong& s) { s.h[4] = 0, s.b[3] = 46; }), 2,
       50.0 * ((1.0 - ReferenceCdf(Z(0))) + (1.0 - ReferenceCdf((46 - 45.75878147) / 16.6)))},
      {"F2 for a low B29", With(SongOfClass(34), [](MoodSong& s) { s.h[4] = 60, s.b[3] = 40, s.b[29] = 30; }), 2,
       100.0 * (1.0 - ReferenceCdf(Z(60)))},
      {"F2 needs B3", With(SongOfClass(34), [](MoodSong& s) { s.h[4] = 60, s.b[3] = kMoodSlotAbsent; }), 2, -1.0},
      {"F3 with a high H3", With(SongOfClass(34), [](MoodSong& s) { s.h[3] = 70, s.h[13] = 40; }), 3,
       100.0 * (ReferenceCdf(Z(70)) + ReferenceCdf(Z(50)) + ReferenceCdf(Z(40))) / 3.0},
      {"F3 without H3", With(SongOfClass(34), [](MoodSong& s) { s.h[13] = 40; }), 3,
       100.0 * (ReferenceCdf(Z(50)) + 2.0 * ReferenceCdf(Z(40))) / 3.0},
      {"F3 needs H13", With(SongOfClass(34), [](MoodSong& s) { s.h[3] = 70; }), 3, -1.0},
      {"F4 of an energetic song",
       With(SongOfClass(34), [](MoodSong& s) { s.h[8] = 45, s.b[3] = 40, s.b[1] = 130, s.m[4] = 0; }), 4,
       80.0 + 20.0 * (1.0 - ReferenceCdf(Z(20)))},
      {"F4 by base channel 3", With(SongOfClass(34), [](MoodSong& s) { s.h[13] = 40; }), 4,
       30.0 + 70.0 * (1.0 - ReferenceCdf(Z(40)))},
      {"F4 by base channel 0", With(SongOfClass(4), [](MoodSong& s) { s.m[4] = 70, s.m[5] = 0; }), 4,
       50.0 * ReferenceCdf((Z(70) - Z(20)) / root2)},
      {"F4 by base channel 1", With(SongOfClass(1), [](MoodSong& s) { s.m[8] = 30, s.h[5] = 0; }), 4,
       20.0 + 60.0 * ReferenceCdf((Z(0) - Z(30)) / root2)},
      {"F4 by base channel 2", With(SongOfClass(17), [](MoodSong& s) { s.m[4] = 40, s.m[7] = 65; }), 4,
       40.0 + 60.0 * ReferenceCdf((Z(65) - Z(40)) / root2)},
      {"F4 by base channel 4", With(SongOfClass(7), [](MoodSong& s) { s.m[7] = 55; }), 4,
       60.0 + 40.0 * ReferenceCdf(Z(55))},
      {"F4 needs its slots", SongOfClass(34), 4, -1.0},
      {"F4 needs the class", With(SongOfClass(34), [](MoodSong& s) { s.h[13] = 40, s.b[35] = kMoodSlotAbsent; }),
       4, -1.0},
  };
  for (const FeatureCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(c.expected, Features(c.song)[c.feature], 1e-9);
  }
}

TEST(MoodFeatures, RefusesPayloadsItCannotUse) {
  double features[kMoodFeatureCount];
  const std::vector<uint8_t> twelve(12, 0);
  EXPECT_EQ(3, ComputeMoodFeatures(nullptr, 12, features));
  EXPECT_EQ(3, ComputeMoodFeatures(twelve.data(), twelve.size(), nullptr));
  EXPECT_EQ(1, ComputeMoodFeatures(twelve.data(), twelve.size(), features));
  std::vector<uint8_t> overrun;
  AppendMoodRecord(overrun, "STBF", std::vector<uint8_t>(36, 1));
  overrun.resize(40);
  EXPECT_EQ(1, ComputeMoodFeatures(overrun.data(), overrun.size(), features));

  const std::vector<uint8_t> payload = SongOfClass(34).Payload();
  int result;
  {
    ScopedAllocationFailure failing;
    result = ComputeMoodFeatures(payload.data(), payload.size(), features);
  }
  EXPECT_EQ(kMoodParseOutOfMemory, result);
}

TEST(MoodStatistics, NormalCdfMatchesTheReference) {
  for (double x : {-5.0, -3.0, -1.0, -0.25, 0.0, 0.5, 1.0, 1.96, 3.0, 5.0}) {
    SCOPED_TRACE(x);
    EXPECT_NEAR(ReferenceCdf(x), NormalCdf(x), 1e-12);
  }
  EXPECT_EQ(0.5, NormalCdf(0.0));
  // Far out the series does not settle within its terms: the tails are taken whole.
  EXPECT_EQ(1.0, NormalCdf(30.0));
  EXPECT_EQ(0.0, NormalCdf(-30.0));
}

TEST(MoodStatistics, ZScore) {
  EXPECT_DOUBLE_EQ(2.0, ZScore(50.0, 10.0, 70.0));
  EXPECT_DOUBLE_EQ(-0.5, ZScore(50.0, 10.0, 45.0));
  EXPECT_EQ(0.0, ZScore(50.0, 0.0, 70.0));
  EXPECT_EQ(0.0, ZScore(50.0, -1.0, 70.0));
}

}  // namespace
