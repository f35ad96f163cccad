#pragma once

#include "library/mood/MoodAnalysisRecord.h"

inline bool IsPresent(uint8_t slot) { return slot != kMoodSlotAbsent; }

// Reads the slots one test of a rule names. A test holds only when every slot it names is
// present, even one that only appears in an "or": read them all first, then ask AllPresent.
class MoodSlotReader {
 public:
  explicit MoodSlotReader(const MoodAnalysisRecord& record) : record_(record) {}
  int M(int i) { return Take(record_.m[i]); }
  int H(int i) { return Take(record_.h[i]); }
  int B(int i) { return Take(record_.b[i]); }
  bool AllPresent() const { return allPresent_; }

 private:
  int Take(uint8_t slot) {
    if (!IsPresent(slot)) allPresent_ = false;
    return slot;
  }

  const MoodAnalysisRecord& record_;
  bool allPresent_ = true;
};
