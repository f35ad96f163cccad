#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "library/mood/MoodExportCodes.h"
#include "library/mood/MoodTableFile.h"
#include "tests/mood/MoodTestSupport.h"

namespace {

MoodTableEntry Entry(uint8_t moodByte, uint8_t invertedTempoByte) {
  MoodTableEntry entry;
  entry.moodByte = moodByte;
  entry.invertedTempoByte = invertedTempoByte;
  return entry;
}

class MoodTableFileTest : public ::testing::Test {
 protected:
  ScopedMoodFolder folder_;
  const std::wstring path_ = folder_.Path(L"MOOD00.dat");
  const std::vector<std::wstring> list_ = {L"\\a", L"\\b", L"\\c", L"\\d", L"\\e"};
};

TEST(MoodFeatureToByte, ScalesEachFeature) {
  EXPECT_EQ(0, MoodFeatureToByte(0, 60.0));
  EXPECT_EQ(255, MoodFeatureToByte(0, 180.0));
  EXPECT_EQ(127, MoodFeatureToByte(0, 120.0));
  EXPECT_EQ(255, MoodFeatureToByte(1, 100.0));
  EXPECT_EQ(127, MoodFeatureToByte(4, 50.0));
  EXPECT_EQ(0, MoodFeatureToByte(2, 0.0));
  EXPECT_EQ(0, MoodFeatureToByte(5, 50.0));
  EXPECT_EQ(0, MoodFeatureToByte(-1, 50.0));
}

TEST_F(MoodTableFileTest, WritesSortedRecordsWithStableTies) {
  MoodTableMap map;
  map[L"\\a"] = Entry(10, 100);
  map[L"\\b"] = Entry(20, 200);
  map[L"\\c"] = Entry(10, 100);  // the same bytes as \a: stays after it
  map[L"\\e"] = Entry(90, 100);
  map[L"\\not listed"] = Entry(1, 1);
  ASSERT_EQ(kMoodExportOk, WriteMoodTableFile(path_, list_, map));
  const std::string expected("\x00\x00\x00\x04"
                             "\x00\x02\xC8\x14"
                             "\x00\x05\x64\x5A"
                             "\x00\x01\x64\x0A"
                             "\x00\x03\x64\x0A",
                             20);
  EXPECT_EQ(expected, ReadFileBytes(path_));
}

TEST_F(MoodTableFileTest, ReadsRecordsByPositionInTheList) {
  WriteFileBytes(path_, std::string("\x00\x00\x00\x04"
                                    "\x00\x02\xC8\x14"
                                    "\x00\x00\x11\x11"   // position 0: no track
                                    "\x00\x06\x22\x22"   // beyond the list
                                    "\x00\x01\x64\x0A",
                                    20));
  MoodTableMap map;
  map[L"\\a"] = Entry(7, 7);  // a track already entered keeps its entry
  ASSERT_EQ(kMoodExportOk, ReadMoodTableFile(path_, list_, map));
  ASSERT_EQ(2u, map.size());
  EXPECT_EQ(20, map[L"\\b"].moodByte);
  EXPECT_EQ(200, map[L"\\b"].invertedTempoByte);
  EXPECT_EQ(7, map[L"\\a"].moodByte);
}

// A table of no tracks is what the writer leaves for an empty list: it must read back.
TEST_F(MoodTableFileTest, ReadsTheEmptyTableItWrites) {
  ASSERT_EQ(kMoodExportOk, WriteMoodTableFile(path_, list_, {}));
  EXPECT_EQ(std::string(4, '\0'), ReadFileBytes(path_));
  MoodTableMap map;
  EXPECT_EQ(kMoodExportOk, ReadMoodTableFile(path_, list_, map));
  EXPECT_TRUE(map.empty());
}

TEST_F(MoodTableFileTest, RefusesMalformedTables) {
  const std::string cases[] = {
      std::string("", 0),
      std::string("\x00\x00\x00", 3),
      std::string("\x00\x00\x00\x02\x00\x01\x10\x10", 8),
      std::string("\xFF\xFF\xFF\xFF\x00\x01\x10\x10", 8),
  };
  for (const std::string& bytes : cases) {
    SCOPED_TRACE(bytes.size());
    WriteFileBytes(path_, bytes);
    MoodTableMap map;
    EXPECT_EQ(kMoodExportMalformed, ReadMoodTableFile(path_, list_, map));
  }
}

TEST_F(MoodTableFileTest, ReportsOpenReadAndMemoryFailures) {
  MoodTableMap map;
  EXPECT_EQ(kMoodExportCannotOpen, ReadMoodTableFile(folder_.Path(L"missing.dat"), list_, map));
  EXPECT_EQ(kMoodExportCannotOpen, WriteMoodTableFile(folder_.Path(L"no folder\\MOOD00.dat"), list_, map));

  WriteFileBytes(path_, std::string("\x00\x00\x00\x01\x00\x01\x10\x10", 8));
  int result;
  {
    ScopedAllocationFailure failing;
    result = ReadMoodTableFile(path_, list_, map);
  }
  EXPECT_EQ(kMoodExportOutOfMemory, result);
}

TEST_F(MoodTableFileTest, ReportsAShortRead) {
  MoodTableMap map;
#ifdef _WIN32
  if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr) {
    GTEST_SKIP() << "Wine gap: reads through another handle ignore a byte-range lock";
  }
  // The file claims 12 bytes, but another handle holds a lock on its records.
  WriteFileBytes(path_, std::string("\x00\x00\x00\x02\x00\x01\x10\x10\x00\x02\x20\x20", 12));
  HANDLE holder = CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, holder);
  ASSERT_TRUE(LockFile(holder, 4, 0, 8, 0));
  EXPECT_EQ(kMoodExportShortRead, ReadMoodTableFile(path_, list_, map));
  UnlockFile(holder, 4, 0, 8, 0);
  CloseHandle(holder);
#else
  // A folder opens, claims a size, and yields no bytes.
  const std::wstring folderPath = folder_.Path(L"MOOD01.dat");
  std::filesystem::create_directory(LocalPath(folderPath));
  EXPECT_EQ(kMoodExportShortRead, ReadMoodTableFile(folderPath, list_, map));
#endif
}

}  // namespace
