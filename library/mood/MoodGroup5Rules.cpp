#include "library/mood/MoodClassification.h"
#include "library/mood/MoodSlotReader.h"

namespace {

// Group 5: the rule channels 13 to 19 (values 0 to 6). Each test names its slots first.
bool Group5Value0(const MoodAnalysisRecord& r) {
  {
    MoodSlotReader s(r);
    const int h8 = s.H(8), b3 = s.B(3), b25 = s.B(25), b1 = s.B(1), b2 = s.B(2);
    if (s.AllPresent() && h8 > 40 && b3 < 50 && b25 > 39 && b1 > 125 && b2 > 61) return true;
  }
  {
    MoodSlotReader s(r);
    const int h38 = s.H(38), b1 = s.B(1), h15 = s.H(15);
    if (s.AllPresent() && h38 > 48 && b1 > 134 && h15 > 56) return true;
  }
  {
    MoodSlotReader s(r);
    const int b1 = s.B(1), b2 = s.B(2), b24 = s.B(24), m5 = s.M(5), m4 = s.M(4), h13 = s.H(13);
    if (s.AllPresent() && b1 > 144 && b2 > 61 && b24 > 59 && m5 > 46 && m4 > 42 && h13 > 57) return true;
  }
  MoodSlotReader s(r);
  const int b1 = s.B(1), h12 = s.H(12), h15 = s.H(15), b31 = s.B(31), b26 = s.B(26);
  return s.AllPresent() && b1 > 134 && (h12 > 65 || h15 > 61) && b31 < 50 && b26 > 59;
}

bool Group5Value1(const MoodAnalysisRecord& r) {
  {
    MoodSlotReader s(r);
    const int h5 = s.H(5), h13 = s.H(13), m7 = s.M(7), m4 = s.M(4), b24 = s.B(24), b1 = s.B(1);
    if (s.AllPresent() && h5 > 54 && h13 > 34 && m7 < 49 && m4 < 55 && b24 > 45 && b1 < 130) return true;
  }
  MoodSlotReader s(r);
  const int b25 = s.B(25), b1 = s.B(1), m9 = s.M(9), m4 = s.M(4), m2 = s.M(2), h5 = s.H(5), h13 = s.H(13),
            h12 = s.H(12);
  return s.AllPresent() && b25 < 57 && b1 < 130 && m9 > 47 && m4 < 45 && m2 > 49 && h5 > 49 && h13 > 39 && h12 < 58;
}

bool Group5Value2(const MoodAnalysisRecord& r) {
  if (Group5Value0(r)) return false;
  {
    MoodSlotReader s(r);
    const int h14 = s.H(14), h18 = s.H(18), h20 = s.H(20);
    if (s.AllPresent() && h14 > 93 && h18 > 94 && h20 > 60) return false;
  }
  {
    MoodSlotReader s(r);
    const int b3 = s.B(3), b29 = s.B(29), b1 = s.B(1), b4 = s.B(4), m4 = s.M(4), m2 = s.M(2), m1 = s.M(1),
              h15 = s.H(15), h38 = s.H(38), b25 = s.B(25), b31 = s.B(31);
    if (s.AllPresent() && b31 > 39 && b31 < 58 && b3 < 58 && b1 > 119 && b1 < 171 && b29 > 49 && m4 > 49 &&
        m2 < 50 && h15 > 49 && h38 < 48 && (b4 > 59 || m1 > 47 || b25 > 69)) {
      // This last part of the test tolerates absent slots: any one absent lets it pass.
      const uint8_t h23 = r.h[23], h24 = r.h[24], h32 = r.h[32], h27 = r.h[27];
      if (!IsPresent(h23) || !IsPresent(h24) || !IsPresent(h32) || !IsPresent(h27) || h23 < 50 || h24 > 50 ||
          h32 < 72 || h27 > 46) {
        return true;
      }
    }
  }
  {
    MoodSlotReader s(r);
    const int m4 = s.M(4), h13 = s.H(13), b1 = s.B(1), b2 = s.B(2), m5 = s.M(5), b24 = s.B(24);
    if (s.AllPresent() && m4 > 42 && h13 > 57 && b1 > 144 && b2 > 60 && m5 > 46 && b24 > 59) return true;
  }
  MoodSlotReader s(r);
  const int b1 = s.B(1), m4 = s.M(4), h1 = s.H(1), h24 = s.H(24), h23 = s.H(23);
  return s.AllPresent() && b1 > 117 && m4 > 49 && h1 > 41 && h24 > 48 && h23 <= h24;
}

bool Group5Value3(const MoodAnalysisRecord& r) {
  {
    MoodSlotReader s(r);
    const int m5 = s.M(5), m1 = s.M(1), m4 = s.M(4), m8 = s.M(8), m7 = s.M(7), m3 = s.M(3), m2 = s.M(2),
              b1 = s.B(1), b4 = s.B(4), h13 = s.H(13), h9 = s.H(9), h5 = s.H(5), h38 = s.H(38), h10 = s.H(10),
              h18 = s.H(18), h3 = s.H(3);
    if (s.AllPresent() && (m8 > 48 || m7 > 44 || m1 > 46 || b4 > 45) && m2 < 51 && m4 < 60 && m3 < 47 && m5 > 48 &&
        b1 > 89 && b1 < 145 && h13 < 69 && h9 < 40 && h5 < 53 && h38 < 51 && h10 < 63 && h3 < 62 && h18 < 91) {
      return true;
    }
  }
  {
    MoodSlotReader s(r);
    const int m5 = s.M(5), m8 = s.M(8), m2 = s.M(2), b1 = s.B(1), b24 = s.B(24), h13 = s.H(13), h18 = s.H(18),
              h3 = s.H(3), h38 = s.H(38);
    if (s.AllPresent() && m5 > 48 && m8 > 45 && m2 < 50 && b1 > 94 && b1 < 135 && b24 > 40 && h13 > 50 &&
        h18 < 64 && h3 < 52 && h38 < 45) {
      return true;
    }
  }
  {
    MoodSlotReader s(r);
    const int b1 = s.B(1), b3 = s.B(3), m2 = s.M(2), h37 = s.H(37), h9 = s.H(9), h5 = s.H(5), h13 = s.H(13),
              h18 = s.H(18), h38 = s.H(38);
    if (s.AllPresent() && b1 > 84 && b1 < 145 && b3 > 11 && m2 < 51 && h37 > 47 && h9 < 40 && h5 < 60 &&
        h13 < 69 && h18 < 64 && h38 < 45) {
      return true;
    }
  }
  MoodSlotReader s(r);
  const int m5 = s.M(5), m7 = s.M(7), m1 = s.M(1), m4 = s.M(4), b3 = s.B(3), b1 = s.B(1), h3 = s.H(3),
            h38 = s.H(38), h9 = s.H(9), h5 = s.H(5), h10 = s.H(10), h18 = s.H(18);
  return s.AllPresent() && m5 > 48 && m7 > 47 && m1 > 47 && m4 > 34 && m4 < 47 && b3 > 27 && b1 > 89 && b1 < 147 &&
         h3 < 67 && h38 < 42 && h9 < 40 && h5 < 53 && h10 < 63 && h18 < 91;
}

bool Group5Value4(const MoodAnalysisRecord& r) {
  if (IsPresent(r.h[6]) && r.h[6] >= 71) return false;
  {
    MoodSlotReader s(r);
    const int h5 = s.H(5), b1 = s.B(1), b25 = s.B(25), m2 = s.M(2);
    if (s.AllPresent() && h5 > 54 && b1 < 110 && b25 < 31 && m2 < 48) return true;
  }
  {
    MoodSlotReader s(r);
    const int m2 = s.M(2), m5 = s.M(5), m7 = s.M(7), m3 = s.M(3), b1 = s.B(1), b25 = s.B(25), h13 = s.H(13),
              h9 = s.H(9);
    if (s.AllPresent() && m2 > 48 && (m5 > 48 || m7 > 47) && m3 > 48 && b1 > 49 && b1 < 118 && b25 > 27 &&
        h13 < 56 && h9 < 40) {
      return true;
    }
  }
  {
    MoodSlotReader s(r);
    const int h2 = s.H(2), b25 = s.B(25), b4 = s.B(4);
    if (s.AllPresent() && h2 > 74 && b25 > 29 && b25 < 60 && b4 < 65) return true;
  }
  {
    MoodSlotReader s(r);
    const int m2 = s.M(2), m7 = s.M(7), b1 = s.B(1), b25 = s.B(25), b3 = s.B(3), h13 = s.H(13), h14 = s.H(14),
              h9 = s.H(9), h37 = s.H(37), h19 = s.H(19), h10 = s.H(10);
    if (s.AllPresent() && ((h37 < 49 && h19 < 40) || b1 > 134 || b25 > 59 || h10 > 41) && m2 > 49 && m7 > 47 &&
        b1 > 61 && b1 < 119 && b25 > 27 && b25 < 57 && b3 > 64 && h9 < 43 && h14 < 75 && h13 < 54) {
      return true;
    }
  }
  MoodSlotReader s(r);
  const int h1 = s.H(1), h23 = s.H(23), m2 = s.M(2), m5 = s.M(5), h24 = s.H(24), h3 = s.H(3), h13 = s.H(13),
            b25 = s.B(25), b1 = s.B(1), h6 = s.H(6);
  return s.AllPresent() && h1 < 42 && h23 < 45 && (m2 < 48 || (m2 > 48 && m5 > 47)) && h24 < 45 && h3 < 61 &&
         h13 < 31 && b25 > 18 && b1 > 60 && b1 < 101 && h6 < 71;
}

bool Group5Value5(const MoodAnalysisRecord& r) {
  if (Group5Value0(r)) return false;
  {
    MoodSlotReader s(r);
    const int m6 = s.M(6), m2 = s.M(2), m1 = s.M(1), h8 = s.H(8);
    if (s.AllPresent() && ((m6 < 49 && m2 > 54 && m1 < 48) || h8 > 41)) return false;
  }
  {
    MoodSlotReader s(r);
    const int m5 = s.M(5), m2 = s.M(2), m1 = s.M(1), m7 = s.M(7), m8 = s.M(8), m3 = s.M(3), b25 = s.B(25),
              b1 = s.B(1), b4 = s.B(4), h38 = s.H(38), h14 = s.H(14), h18 = s.H(18), h37 = s.H(37), h27 = s.H(27);
    if (s.AllPresent() && m5 > 48 && m2 < 50 && m1 > 40 && m7 < 48 && m8 < 49 && m3 < 49 && b25 > 47 && b1 > 95 &&
        b1 < 150 && b4 > 39 && h38 < 48 && h14 < 75 && h18 < 68 && h37 > 29 && h27 > 57) {
      return true;
    }
  }
  MoodSlotReader s(r);
  const int b1 = s.B(1), b25 = s.B(25), h13 = s.H(13), m2 = s.M(2), m5 = s.M(5), m8 = s.M(8), h14 = s.H(14),
            h38 = s.H(38), h5 = s.H(5), b29 = s.B(29), h18 = s.H(18);
  return s.AllPresent() && b1 > 90 && b1 < 171 && b25 > 58 && h13 > 29 && h13 < 73 &&
         (m2 < 48 || (m2 > 48 && m5 > 55)) && m8 > 48 && h14 < 75 && h38 < 48 && h5 < 55 && b29 < 65 && h18 < 76;
}

bool Group5Value6(const MoodAnalysisRecord& r) {
  bool anyTest = false;
  {
    MoodSlotReader s(r);
    const int h9 = s.H(9), h4 = s.H(4), h11 = s.H(11), h6 = s.H(6), h34 = s.H(34), h28 = s.H(28);
    anyTest = s.AllPresent() && h9 >= 41 && h4 >= 51 && h11 <= 50 && h6 <= 69 && (h34 >= 51 || h28 >= 60);
  }
  if (!anyTest) {
    MoodSlotReader s(r);
    const int h9 = s.H(9), h37 = s.H(37), h4 = s.H(4), h13 = s.H(13), m2 = s.M(2), h6 = s.H(6);
    anyTest = s.AllPresent() && h9 > 34 && h37 > 39 && h4 > 50 && h13 < 50 && m2 > 49 && h6 < 70;
  }
  if (!anyTest) {
    MoodSlotReader s(r);
    const int h9 = s.H(9), h37 = s.H(37), h4 = s.H(4), h13 = s.H(13), b25 = s.B(25), b32 = s.B(32), m2 = s.M(2),
              m5 = s.M(5), m0 = s.M(0), h6 = s.H(6);
    anyTest = s.AllPresent() && h9 >= 33 && h37 >= 37 && h4 >= 51 && h13 <= 39 && b25 <= 45 && b32 >= 60 &&
              m2 >= 50 && m5 <= 52 && m0 >= 54 && h6 <= 69;
  }
  if (!anyTest) return false;
  const uint8_t h2 = r.h[2], h6 = r.h[6];
  return !IsPresent(h2) || (h2 < 61 && IsPresent(h6) && h6 < 71);
}

bool Group5Holds(int value, const MoodAnalysisRecord& r) {
  switch (value) {
    case 0: return Group5Value0(r);
    case 1: return Group5Value1(r);
    case 2: return Group5Value2(r);
    case 3: return Group5Value3(r);
    case 4: return Group5Value4(r);
    case 5: return Group5Value5(r);
    case 6: return Group5Value6(r);
    default: return false;
  }
}

}  // namespace

int EvaluateGroup5Rule(int value, const MoodAnalysisRecord& record) {
  int moodClass = 0;
  if (ComputeMoodClass(record, &moodClass) != 0) return -1;
  if (IsMoodExclusion(record)) return 0;
  return Group5Holds(value, record) ? 1 : 0;
}
