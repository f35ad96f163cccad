#include <gtest/gtest.h>

#include "library/mood/MoodPayloadParser.h"
#include "tests/mood/MoodTestSupport.h"

namespace {

std::vector<uint8_t> Be32(uint32_t value) {
  return {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
}

std::vector<uint8_t> OneRecord(const char* tag, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> payload;
  AppendMoodRecord(payload, tag, data);
  return payload;
}

int Parse(const std::vector<uint8_t>& payload, MoodAnalysisRecord* record) {
  static const uint8_t kNothing = 0;
  return ParseAnalysisRecords(payload.empty() ? &kNothing : payload.data(), payload.size(), record);
}

struct MalformedCase {
  const char* name;
  std::vector<uint8_t> payload;
};

TEST(MoodPayloadParser, RefusesMalformedPayloads) {
  std::vector<uint8_t> overrun = OneRecord("STBF", std::vector<uint8_t>(36, 1));
  overrun.pop_back();  // the header now claims one byte more than follows
  std::vector<uint8_t> stmoNonZero(16, 0);
  stmoNonZero[2] = 1;
  const MalformedCase cases[] = {
      {"empty", {}},
      {"shorter than a header", std::vector<uint8_t>(19, 0)},
      {"length beyond the end", overrun},
      {"STBF of 35 bytes", OneRecord("STBF", std::vector<uint8_t>(35, 1))},
      {"STBF of 37 bytes", OneRecord("STBF", std::vector<uint8_t>(37, 1))},
      {"STMO not a multiple of 16", OneRecord("STMO", std::vector<uint8_t>(17, 0))},
      {"STMO entry with a non-zero third byte", OneRecord("STMO", stmoNonZero)},
      {"STHF not a multiple of 4", OneRecord("STHF", std::vector<uint8_t>(6, 0))},
      {"GBPM negative", OneRecord("GBPM", Be32(0xBF800000))},  // -1.0f
      {"GBPM not a number", OneRecord("GBPM", Be32(0x7FC00000))},
      {"GBPM shorter than a float", OneRecord("GBPM", {0x42, 0xF0})},
      {"STNM shorter than its fields", OneRecord("STNM", {0x3F, 0x80, 0x00, 0x00, 0x00})},
      {"STSA shorter than its value", OneRecord("STSA", {0, 0, 1})},
  };
  for (const MalformedCase& c : cases) {
    SCOPED_TRACE(c.name);
    MoodAnalysisRecord record;
    EXPECT_EQ(kMoodParseMalformed, Parse(c.payload, &record));
  }
}

TEST(MoodPayloadParser, RefusesMissingArguments) {
  const std::vector<uint8_t> payload = OneRecord("STBF", std::vector<uint8_t>(36, 1));
  MoodAnalysisRecord record;
  EXPECT_EQ(kMoodParseBadArguments, ParseAnalysisRecords(nullptr, 20, &record));
  EXPECT_EQ(kMoodParseBadArguments, ParseAnalysisRecords(payload.data(), payload.size(), nullptr));
}

TEST(MoodPayloadParser, FillsEverySlotKind) {
  std::vector<uint8_t> stbf(36);
  for (int i = 0; i < 36; ++i) stbf[i] = uint8_t(i + 10);
  std::vector<uint8_t> payload = OneRecord("STBF", stbf);
  AppendMoodRecord(payload, "STSA", Be32(123456));
  AppendMoodRecord(payload, "GBPM", Be32(0x42F6E666));  // 123.45f
  AppendMoodRecord(payload, "STNM", {0x3F, 0xC0, 0x00, 0x00, 0xFF, 0xFE});  // 1.5f, -2
  // STHF identifiers 0x803 and 0x806 fill H1 and H0; 0x900 is not a slot.
  AppendMoodRecord(payload, "STHF", {0x08, 0x03, 77, 0, 0x08, 0x06, 66, 0, 0x09, 0x00, 11, 0});
  std::vector<uint8_t> stmo(32, 0);
  stmo[0] = 0x01, stmo[1] = 0x07, stmo[3] = 42;  // entry 0 sets M7
  stmo[16] = 0x02, stmo[17] = 0x00, stmo[19] = 99;  // entry 1 names no slot
  AppendMoodRecord(payload, "STMO", stmo);
  AppendMoodRecord(payload, "XXXX", {1, 2, 3});
  payload.insert(payload.end(), 19, 0xAB);  // fewer than a header: ignored

  MoodAnalysisRecord record;
  ASSERT_EQ(kMoodParseOk, Parse(payload, &record));
  for (int i = 0; i < 36; ++i) EXPECT_EQ(i + 10, record.b[i]);
  EXPECT_EQ(123456u, record.stsa);
  EXPECT_EQ(123, record.gbpm);
  EXPECT_FLOAT_EQ(1.5f, record.stnmValue);
  EXPECT_EQ(-2, record.stnmCount);
  EXPECT_EQ(77, record.h[1]);
  EXPECT_EQ(66, record.h[0]);
  EXPECT_EQ(kMoodSlotAbsent, record.h[2]);
  EXPECT_EQ(42, record.m[7]);
  EXPECT_EQ(kMoodSlotAbsent, record.m[0]);
  EXPECT_EQ(kMoodSlotAbsent, record.m[1]);
}

TEST(MoodPayloadParser, StmoEntryClearsItsOwnSlotBeforeSettingOne) {
  // A first STMO sets M1; a second one with one entry naming M3 clears M0 only.
  std::vector<uint8_t> first(16, 0), second(16, 0);
  first[0] = 0x01, first[1] = 0x01, first[3] = 60;
  second[0] = 0x01, second[1] = 0x03, second[3] = 30;
  std::vector<uint8_t> payload = OneRecord("STMO", first);
  AppendMoodRecord(payload, "STMO", second);
  MoodAnalysisRecord record;
  ASSERT_EQ(kMoodParseOk, Parse(payload, &record));
  EXPECT_EQ(60, record.m[1]);
  EXPECT_EQ(30, record.m[3]);
  EXPECT_EQ(kMoodSlotAbsent, record.m[0]);
}

TEST(MoodPayloadParser, KeepsOnlyValuesItCanHold) {
  std::vector<uint8_t> payload = OneRecord("STSA", Be32(0x80000000));
  MoodAnalysisRecord record;
  ASSERT_EQ(kMoodParseOk, Parse(payload, &record));
  EXPECT_EQ(0u, record.stsa);
  ASSERT_EQ(kMoodParseMalformed, Parse(OneRecord("GBPM", Be32(0x4F000000)), &record));  // 2^31
}

TEST(MoodPayloadParser, ReadsAtMost257Records) {
  std::vector<uint8_t> payload;
  for (int i = 0; i < 257; ++i) AppendMoodRecord(payload, "XXXX", {});
  std::vector<uint8_t> withBadTail = payload;
  AppendMoodRecord(withBadTail, "STBF", std::vector<uint8_t>(35, 1));
  MoodAnalysisRecord record;
  EXPECT_EQ(kMoodParseOk, Parse(withBadTail, &record));
  payload.resize(payload.size() - 20);
  AppendMoodRecord(payload, "STBF", std::vector<uint8_t>(35, 1));
  EXPECT_EQ(kMoodParseMalformed, Parse(payload, &record));
}

TEST(MoodPayloadParser, ReportsOutOfMemory) {
  const std::vector<uint8_t> payload = OneRecord("STBF", std::vector<uint8_t>(36, 1));
  MoodAnalysisRecord record;
  int result;
  {
    ScopedAllocationFailure failing;
    result = Parse(payload, &record);
  }
  EXPECT_EQ(kMoodParseOutOfMemory, result);
}

}  // namespace
