#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "library/mood/MoodChannelListFile.h"
#include "library/mood/MoodExportCodes.h"
#include "tests/mood/MoodTestSupport.h"

namespace {

using ::testing::ElementsAre;

class MoodChannelListFileTest : public ::testing::Test {
 protected:
  ScopedMoodFolder folder_;
  const std::wstring path_ = folder_.Path(L"CID000.ZEP");
};

TEST_F(MoodChannelListFileTest, WritesCountLineAndEntriesAsUtf16WithCrLf) {
  ASSERT_EQ(kMoodExportOk, WriteChannelListFile({}, path_));
  EXPECT_EQ(std::string("0\0\r\0\n\0", 6), ReadFileBytes(path_));

  ASSERT_EQ(kMoodExportOk, WriteChannelListFile({L"\\Music\\a.mp3", L"\\Music\\b.mp3"}, path_));
  EXPECT_EQ(Utf16Le(L"2\r\n\\Music\\a.mp3\r\n\\Music\\b.mp3\r\n"), ReadFileBytes(path_));
  EXPECT_FALSE(FileExists(path_ + L".tmp"));
}

TEST_F(MoodChannelListFileTest, ReadsBackWhatItWrote) {
  const std::vector<std::wstring> entries = {L"\\a.mp3", L"\\b\u00e9\u4e2d.mp3", L"\\c\rd.mp3"};
  ASSERT_EQ(kMoodExportOk, WriteChannelListFile(entries, path_));
  std::vector<std::wstring> read = {L"kept"};
  ASSERT_EQ(kMoodExportOk, ReadChannelListFile(read, path_));
  EXPECT_THAT(read, ElementsAre(L"kept", L"\\a.mp3", L"\\b\u00e9\u4e2d.mp3", L"\\c\rd.mp3"));
}

TEST_F(MoodChannelListFileTest, IgnoresTheCountAndDropsAnUnfinishedLastLine) {
  WriteFileBytes(path_, Utf16Le(L"7\r\n\\a.mp3\r\n\\b.mp3"));
  std::vector<std::wstring> read;
  ASSERT_EQ(kMoodExportOk, ReadChannelListFile(read, path_));
  EXPECT_THAT(read, ElementsAre(L"\\a.mp3"));
}

// A track path may hold 257 characters, so its line must read back; one more is refused.
TEST_F(MoodChannelListFileTest, ReadsEveryLineTheWriterCanWrite) {
  const std::wstring longest = L"\\" + std::wstring(256, L'x');
  ASSERT_EQ(kMoodExportOk, WriteChannelListFile({L"\\first.mp3", longest}, path_));
  std::vector<std::wstring> read;
  ASSERT_EQ(kMoodExportOk, ReadChannelListFile(read, path_));
  EXPECT_THAT(read, ElementsAre(L"\\first.mp3", longest));

  WriteFileBytes(path_, Utf16Le(L"2\r\n\\first.mp3\r\n" + longest + L"y\r\n"));
  read.clear();
  EXPECT_EQ(kMoodExportMalformed, ReadChannelListFile(read, path_));
  EXPECT_THAT(read, ElementsAre(L"\\first.mp3"));
}

TEST_F(MoodChannelListFileTest, ReportsFilesItCannotOpen) {
  std::vector<std::wstring> read;
  EXPECT_EQ(kMoodExportCannotOpen, ReadChannelListFile(read, folder_.Path(L"missing.ZEP")));
  EXPECT_EQ(kMoodExportCannotOpen, WriteChannelListFile({}, folder_.Path(L"no folder\\CID000.ZEP")));
}

// A target that cannot be replaced keeps its place; the failure is reported, not success.
TEST_F(MoodChannelListFileTest, ReportsAFileItCouldNotReplace) {
  std::filesystem::create_directory(LocalPath(path_));
  EXPECT_EQ(kMoodExportWriteFailed, WriteChannelListFile({L"\\a.mp3"}, path_));
  EXPECT_TRUE(std::filesystem::is_directory(LocalPath(path_)));
  EXPECT_FALSE(FileExists(path_ + L".tmp"));
}

TEST_F(MoodChannelListFileTest, ReportsAWriteThatDidNotReachTheDisk) {
#ifdef _WIN32
  GTEST_SKIP() << "needs a device that is always full, /dev/full";
#else
  WriteFileBytes(path_, ChannelListBytes({L"\\old.mp3"}));
  std::filesystem::create_symlink("/dev/full", LocalPath(path_ + L".tmp"));
  EXPECT_EQ(kMoodExportWriteFailed, WriteChannelListFile({L"\\a.mp3"}, path_));
  EXPECT_EQ(ChannelListBytes({L"\\old.mp3"}), ReadFileBytes(path_));
#endif
}

}  // namespace
