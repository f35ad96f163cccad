#include "library/mood/MoodClassification.h"
#include "library/mood/MoodSlotReader.h"

namespace {

// Group 4: the rule channels 5 to 12 (values 0 to 7). Each test names its slots first.
bool Group4Holds(int value, const MoodAnalysisRecord& r);

bool Group4Value0(const MoodAnalysisRecord& r) {
  if (Group4Holds(7, r) || Group4Holds(6, r)) return false;
  {
    MoodSlotReader s(r);
    const int m4 = s.M(4), b1 = s.B(1), b25 = s.B(25), b2 = s.B(2), m1 = s.M(1), m6 = s.M(6), h5 = s.H(5);
    if (s.AllPresent() && m4 > 49 && b1 > 120 && b25 > 45 && h5 < 55 && (b2 > 55 || m1 > 45 || m6 > 55)) return true;
  }
  MoodSlotReader s(r);
  const int b1 = s.B(1), b25 = s.B(25), h15 = s.H(15);
  return s.AllPresent() && b1 >= 126 && b25 >= 47 && h15 >= 57;
}

bool Group4Value1(const MoodAnalysisRecord& r) {
  if (Group4Holds(2, r)) return false;
  {
    MoodSlotReader s(r);
    const int h5 = s.H(5), b1 = s.B(1), m2 = s.M(2);
    if (s.AllPresent() && h5 > 54 && b1 < 110 && m2 < 48) return true;
  }
  {
    MoodSlotReader s(r);
    const int m0 = s.M(0), b3 = s.B(3), b24 = s.B(24);
    if (s.AllPresent() && m0 > 50 && b3 > 30 && b24 < 50) return true;
  }
  MoodSlotReader s(r);
  const int m7 = s.M(7), h12 = s.H(12);
  return s.AllPresent() && m7 >= 49 && h12 <= 49;
}

bool Group4Value2(const MoodAnalysisRecord& r) {
  MoodSlotReader s(r);
  const int m2 = s.M(2), b1 = s.B(1), b4 = s.B(4), h13 = s.H(13);
  return s.AllPresent() && m2 >= 50 && b1 <= 99 && b4 <= 50 && h13 <= 50;
}

bool Group4Value3(const MoodAnalysisRecord& r) {
  if (Group4Holds(7, r) || Group4Holds(4, r) || Group4Holds(1, r) || Group4Holds(2, r)) return false;
  {
    MoodSlotReader s(r);
    const int m5 = s.M(5), b1 = s.B(1), b24 = s.B(24), h13 = s.H(13), h18 = s.H(18);
    if (s.AllPresent() && m5 > 48 && b1 < 121 && b24 > 40 && h13 > 50 && h18 < 76) return true;
  }
  MoodSlotReader s(r);
  const int m5 = s.M(5), m2 = s.M(2), b1 = s.B(1), b4 = s.B(4), h38 = s.H(38), h14 = s.H(14), b29 = s.B(29),
            b27 = s.B(27);
  return s.AllPresent() && m5 >= 49 && m2 <= 49 && b1 >= 71 && b1 <= 129 && b4 >= 46 && h38 <= 47 && h14 <= 74 &&
         b29 <= 69 && b27 >= 41;
}

bool Group4Value4(const MoodAnalysisRecord& r) {
  MoodSlotReader s(r);
  const int h5 = s.H(5), m7 = s.M(7), b24 = s.B(24), b1 = s.B(1);
  return s.AllPresent() && h5 >= 55 && m7 <= 47 && b24 >= 51 && b1 <= 129;
}

bool Group4Value5(const MoodAnalysisRecord& r) {
  {
    MoodSlotReader s(r);
    const int h9 = s.H(9), h37 = s.H(37), h4 = s.H(4), h11 = s.H(11), h6 = s.H(6), h34 = s.H(34), h28 = s.H(28);
    s.H(15);  // named by the test although not compared
    s.B(3);
    s.H(20);
    if (s.AllPresent() && (h9 > 40 || h37 > 48) && h4 > 50 && h11 < 51 && h6 < 70 && (h34 > 50 || h28 > 68)) {
      return true;
    }
  }
  MoodSlotReader s(r);
  const int h37 = s.H(37), h19 = s.H(19), b1 = s.B(1), b25 = s.B(25), h10 = s.H(10);
  return s.AllPresent() && (h37 > 48 || h19 > 39) && b1 < 135 && b25 < 60 && h10 < 42;
}

bool Group4Value6(const MoodAnalysisRecord& r) {
  if (Group4Holds(7, r)) return false;
  MoodSlotReader s(r);
  const int h5 = s.H(5), h10 = s.H(10), h39 = s.H(39);
  return s.AllPresent() && h5 < 55 && (h10 > 42 || h39 > 50);
}

bool Group4Value7(const MoodAnalysisRecord& r) {
  MoodSlotReader s(r);
  const int h38 = s.H(38), b26 = s.B(26);
  return s.AllPresent() && h38 >= 49 && b26 >= 51;
}

bool Group4Holds(int value, const MoodAnalysisRecord& r) {
  switch (value) {
    case 0: return Group4Value0(r);
    case 1: return Group4Value1(r);
    case 2: return Group4Value2(r);
    case 3: return Group4Value3(r);
    case 4: return Group4Value4(r);
    case 5: return Group4Value5(r);
    case 6: return Group4Value6(r);
    case 7: return Group4Value7(r);
    default: return false;
  }
}

}  // namespace

bool IsMoodExclusion(const MoodAnalysisRecord& r) {
  if (r.b[24] == 0) return true;
  const uint8_t h20 = r.h[20], h18 = r.h[18], h10 = r.h[10], h6 = r.h[6], b1 = r.b[1];
  if (IsPresent(h20) && IsPresent(h18) && IsPresent(h10) && h20 > 57 && h18 < 76 && h10 < 42) return true;
  return IsPresent(h6) && IsPresent(b1) && IsPresent(h20) && h6 > 75 && (h20 > 48 || b1 > 195);
}

int EvaluateGroup4Rule(int value, const MoodAnalysisRecord& record) {
  int moodClass = 0;
  if (ComputeMoodClass(record, &moodClass) != 0) return -1;
  const bool excluded = IsMoodExclusion(record);
  if (value == 9) return excluded ? 1 : 0;
  if (excluded) return 0;
  return Group4Holds(value, record) ? 1 : 0;
}
