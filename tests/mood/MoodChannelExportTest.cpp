#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "library/mood/MoodChannelExport.h"
#include "tests/mood/MoodTestSupport.h"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::Not;

const std::wstring kHvc = L"Tavrel_Automotive\\HVC\\";
const std::wstring kHvm = L"Tavrel_Automotive\\HVM\\";

std::wstring Track(int n) { return L"\\MUSIC\\track" + std::to_wstring(n) + L".mp3"; }

// A song that gets a MOOD00.dat entry (tempo from B1, score from M5 against M2) and no other.
MoodSong ScoredSong(uint8_t tempo, uint8_t m5, uint8_t m2) {
  MoodSong song = SongOfClass(34);
  song.b[1] = tempo;
  song.m[5] = m5;
  song.m[2] = m2;
  return song;
}

class MoodChannelExportTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(kMoodExportOk, BeginMoodChannelExport(folder_.Root())); }
  void TearDown() override { EndMoodChannelExport(); }

  std::wstring File(const std::wstring& relative) const { return folder_.Path(relative); }

  void Assign(const std::wstring& track, const MoodSong* song = nullptr) {
    if (song == nullptr) {
      ASSERT_EQ(kMoodExportOk, AssignTrackToMoodChannels(nullptr, 0, track));
      return;
    }
    const std::vector<uint8_t> payload = song->Payload();
    ASSERT_EQ(kMoodExportOk, AssignTrackToMoodChannels(payload.data(), payload.size(), track));
  }

  std::vector<std::wstring> WriteAndClear(int expected = kMoodExportOk) {
    std::vector<std::wstring> written;
    EXPECT_EQ(expected, WriteMoodChannels(written));
    ClearMoodChannelLists();
    return written;
  }

  std::vector<std::wstring> Files(const std::vector<std::wstring>& relatives) const {
    std::vector<std::wstring> paths;
    for (const std::wstring& relative : relatives) paths.push_back(File(relative));
    return paths;
  }

  ScopedMoodFolder folder_;
};

TEST(MoodChannelExportBegin, ReportsMissingRootAndFolderFailures) {
  ScopedMoodFolder folder;
  EXPECT_EQ(kMoodExportRootMissing, BeginMoodChannelExport(folder.Path(L"missing")));
  EXPECT_EQ(kMoodExportNotActive, AssignTrackToMoodChannels(nullptr, 0, Track(1)));

  WriteFileBytes(folder.Path(L"Tavrel_Automotive"), "not a folder");
  EXPECT_EQ(kMoodExportFolderFailed, BeginMoodChannelExport(folder.Root()));
  std::vector<std::wstring> written = {L"stale"};
  EXPECT_EQ(kMoodExportNotActive, WriteMoodChannels(written));
  EXPECT_THAT(written, IsEmpty());
}

TEST(MoodChannelExportBegin, CreatesTheFoldersInsideTheRoot) {
  ScopedMoodFolder folder;
  ASSERT_EQ(kMoodExportOk, BeginMoodChannelExport(folder.Root() + L"\\"));
  EXPECT_TRUE(std::filesystem::is_directory(LocalPath(folder.Path(L"Tavrel_Automotive\\HVC"))));
  EXPECT_TRUE(std::filesystem::is_directory(LocalPath(folder.Path(L"Tavrel_Automotive\\HVM"))));
  EXPECT_EQ(kMoodExportOk, EndMoodChannelExport());
  EXPECT_EQ(kMoodExportNotActive, AssignTrackToMoodChannels(nullptr, 0, Track(1)));
}

TEST_F(MoodChannelExportTest, ASecondBeginMovesTheFilesButKeepsTheTracks) {
  Assign(Track(1));
  ScopedMoodFolder other;
  ASSERT_EQ(kMoodExportOk, BeginMoodChannelExport(other.Root()));
  EXPECT_THAT(WriteAndClear(), ElementsAre(other.Path(kHvc + L"CID005.ZEP")));
  EXPECT_EQ(ChannelListBytes({Track(1)}), ReadFileBytes(other.Path(kHvc + L"CID005.ZEP")));
  EXPECT_FALSE(FileExists(File(kHvc + L"CID005.ZEP")));
}

TEST_F(MoodChannelExportTest, SongWithoutPayloadGoesOnlyToTheEveryTrackChannel) {
  Assign(L"\\MUSIC\\Artist\\song.mp3");
  EXPECT_THAT(WriteAndClear(), ElementsAre(File(kHvc + L"CID005.ZEP")));
  EXPECT_EQ(Utf16Le(L"1\r\n\\MUSIC\\Artist\\song.mp3\r\n"), ReadFileBytes(File(kHvc + L"CID005.ZEP")));
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(LocalPath(File(L"Tavrel_Automotive")))) {
    files += entry.is_regular_file();
  }
  EXPECT_EQ(1, files);
}

TEST_F(MoodChannelExportTest, ClassChannelsGetEmptyFilesAndRuleChannelsDoNot) {
  const MoodSong song = SongOfClass(34);  // channels 3 and 6
  Assign(Track(1), &song);
  EXPECT_THAT(WriteAndClear(),
              ElementsAreArray(Files({kHvc + L"CID000.ZEP", kHvc + L"CID001.ZEP", kHvc + L"CID002.ZEP",
                                      kHvc + L"CID003.ZEP", kHvc + L"CID004.ZEP", kHvc + L"CID005.ZEP",
                                      kHvc + L"CID007.ZEP"})));
  EXPECT_EQ(Utf16Le(L"0\r\n"), ReadFileBytes(File(kHvc + L"CID000.ZEP")));
  EXPECT_EQ(ChannelListBytes({Track(1)}), ReadFileBytes(File(kHvc + L"CID003.ZEP")));
  EXPECT_EQ(ChannelListBytes({Track(1)}), ReadFileBytes(File(kHvc + L"CID007.ZEP")));
  EXPECT_FALSE(FileExists(File(kHvc + L"CID006.ZEP")));

  // Once they exist, the empty class channels are left alone.
  const MoodSong other = SongOfClass(17);  // channel 2 only
  Assign(Track(2), &other);
  EXPECT_THAT(WriteAndClear(), ElementsAreArray(Files({kHvc + L"CID002.ZEP", kHvc + L"CID005.ZEP"})));
}

TEST_F(MoodChannelExportTest, LastFiveFilesCarryTheirOwnChannelNumbers) {
  const MoodSong song = [] {
    MoodSong s = SongOfClass(34);
    s.m[5] = 60, s.m[2] = 45, s.m[1] = 45, s.m[7] = 40, s.m[8] = 40, s.m[3] = 40, s.m[4] = 60;
    s.h[38] = 40, s.h[14] = 50, s.h[18] = 50, s.h[37] = 40, s.h[27] = 60;
    s.h[1] = 50, s.h[24] = 50, s.h[23] = 40;
    return s;
  }();  // channels 3, 15 and 18
  Assign(Track(1), &song);
  const std::vector<std::wstring> written = WriteAndClear();
  EXPECT_TRUE(FileExists(File(kHvc + L"CID016.ZEP")));  // channel 18
  EXPECT_TRUE(FileExists(File(kHvc + L"CID018.ZEP")));  // channel 15
  for (const wchar_t* name : {L"CID015.ZEP", L"CID017.ZEP", L"CID019.ZEP", L"CID020.ZEP"}) {
    EXPECT_FALSE(FileExists(File(kHvc + name))) << name;
  }
  EXPECT_THAT(std::vector<std::wstring>(written.begin() + 5, written.end()),
              ElementsAreArray(Files({kHvc + L"CID005.ZEP", kHvc + L"CID016.ZEP", kHvc + L"CID018.ZEP",
                                      kHvm + L"MOOD.ZEP", kHvm + L"MOOD00.dat", kHvm + L"MOOD01.dat",
                                      kHvm + L"MOOD02.dat", kHvm + L"MOOD03.dat"})));
}

TEST_F(MoodChannelExportTest, MergesWithTheFileAndMovesARepeatedTrackToTheEnd) {
  WriteFileBytes(File(kHvc + L"CID005.ZEP"), ChannelListBytes({Track(1), Track(2), Track(3)}));
  Assign(Track(2));
  Assign(Track(4));
  WriteAndClear();
  EXPECT_EQ(ChannelListBytes({Track(1), Track(3), Track(2), Track(4)}), ReadFileBytes(File(kHvc + L"CID005.ZEP")));
}

TEST_F(MoodChannelExportTest, KeepsTheNewest500Tracks) {
  WriteFileBytes(File(kHvc + L"CID005.ZEP"), ChannelListBytes({Track(1000)}));
  std::vector<std::wstring> expected;
  for (int n = 0; n < 501; ++n) {
    Assign(Track(n));
    if (n > 0) expected.push_back(Track(n));
  }
  WriteAndClear();
  EXPECT_EQ(ChannelListBytes(expected), ReadFileBytes(File(kHvc + L"CID005.ZEP")));

  // Merging drops the oldest too: one more track pushes out the first.
  Assign(Track(2000));
  WriteAndClear();
  expected.erase(expected.begin());
  expected.push_back(Track(2000));
  EXPECT_EQ(ChannelListBytes(expected), ReadFileBytes(File(kHvc + L"CID005.ZEP")));
}

TEST_F(MoodChannelExportTest, RefusesOverlongPathsAndKeepsTheLongestReadable) {
  const std::wstring longest = L"\\" + std::wstring(256, L'a');
  EXPECT_EQ(kMoodExportPathTooLong, AssignTrackToMoodChannels(nullptr, 0, longest + L"a"));
  EXPECT_THAT(WriteAndClear(), IsEmpty());

  Assign(longest);
  WriteAndClear();
  // The channel must stay usable with that line in it.
  Assign(Track(1));
  WriteAndClear();
  EXPECT_EQ(ChannelListBytes({longest, Track(1)}), ReadFileBytes(File(kHvc + L"CID005.ZEP")));
}

TEST_F(MoodChannelExportTest, WritesMoodTablesSortedWithStableTies) {
  const MoodSong medium = ScoredSong(120, 50, 50);  // tempo byte 127, score byte 127
  const MoodSong slow = ScoredSong(60, 50, 50);     // tempo byte 0
  const MoodSong happy = ScoredSong(120, 80, 20);   // score byte 253
  Assign(Track(1), &medium);
  Assign(Track(2), &slow);
  Assign(Track(3), &medium);
  Assign(Track(4), &happy);
  WriteAndClear();
  EXPECT_EQ(ChannelListBytes({Track(1), Track(2), Track(3), Track(4)}), ReadFileBytes(File(kHvm + L"MOOD.ZEP")));
  EXPECT_EQ(std::string("\x00\x00\x00\x04"
                        "\x00\x02\xFF\x7F"
                        "\x00\x04\x80\xFD"
                        "\x00\x01\x80\x7F"
                        "\x00\x03\x80\x7F",
                        20),
            ReadFileBytes(File(kHvm + L"MOOD00.dat")));
  // No song had the inputs of the other tables: they hold no records.
  EXPECT_EQ(std::string(4, '\0'), ReadFileBytes(File(kHvm + L"MOOD01.dat")));

  // The next track merges with the tables on disk: positions follow the new list.
  Assign(Track(1), &happy);
  WriteAndClear();
  EXPECT_EQ(ChannelListBytes({Track(2), Track(3), Track(4), Track(1)}), ReadFileBytes(File(kHvm + L"MOOD.ZEP")));
  EXPECT_EQ(std::string("\x00\x00\x00\x04"
                        "\x00\x01\xFF\x7F"
                        "\x00\x03\x80\xFD"
                        "\x00\x04\x80\xFD"
                        "\x00\x02\x80\x7F",
                        20),
            ReadFileBytes(File(kHvm + L"MOOD00.dat")));
}

TEST_F(MoodChannelExportTest, MoodListKeepsTheNewest200WithoutReadingTheOldFiles) {
  // Unreadable old files do not matter when the new tracks fill the list alone.
  WriteFileBytes(File(kHvm + L"MOOD.ZEP"), Utf16Le(L"1\r\n" + std::wstring(300, L'x') + L"\r\n"));
  WriteFileBytes(File(kHvm + L"MOOD00.dat"), "bad");
  const MoodSong song = ScoredSong(120, 50, 50);
  std::vector<std::wstring> expected;
  for (int n = 0; n < 201; ++n) {
    Assign(Track(n), &song);
    if (n > 0) expected.push_back(Track(n));
  }
  WriteAndClear();
  EXPECT_EQ(ChannelListBytes(expected), ReadFileBytes(File(kHvm + L"MOOD.ZEP")));
  const std::string table = ReadFileBytes(File(kHvm + L"MOOD00.dat"));
  ASSERT_EQ(4u + 200u * 4u, table.size());
  EXPECT_EQ(std::string("\x00\x00\x00\xC8\x00\x01\x80\x7F", 8), table.substr(0, 8));
}

TEST_F(MoodChannelExportTest, MoodFilesAreUntouchedWithoutMoodEntries) {
  WriteFileBytes(File(kHvm + L"MOOD.ZEP"), Utf16Le(L"1\r\n" + std::wstring(300, L'x') + L"\r\n"));
  Assign(Track(1));
  const MoodSong noTempo = ScoredSong(kMoodSlotAbsent, 50, 50);
  Assign(Track(2), &noTempo);
  EXPECT_THAT(WriteAndClear(), ElementsAre(File(kHvc + L"CID005.ZEP")));
}

TEST_F(MoodChannelExportTest, AnUnreadableMoodListFailsEveryWriteUntilReplaced) {
  WriteFileBytes(File(kHvm + L"MOOD.ZEP"), Utf16Le(L"1\r\n" + std::wstring(300, L'x') + L"\r\n"));
  const MoodSong song = ScoredSong(120, 50, 50);
  for (int round = 0; round < 2; ++round) {
    Assign(Track(round), &song);
    const std::vector<std::wstring> written = WriteAndClear(kMoodExportMalformed);
    // The channel files written before the failure are still listed for copying.
    EXPECT_THAT(written, Contains(File(kHvc + L"CID005.ZEP")));
    EXPECT_THAT(written, Not(Contains(File(kHvm + L"MOOD.ZEP"))));
    EXPECT_FALSE(FileExists(File(kHvm + L"MOOD00.dat")));
  }
}

TEST_F(MoodChannelExportTest, AnEmptyMoodTableOnDiskDoesNotBlockLaterWrites) {
  WriteFileBytes(File(kHvm + L"MOOD.ZEP"), Utf16Le(L"0\r\n"));
  WriteFileBytes(File(kHvm + L"MOOD00.dat"), std::string(4, '\0'));
  const MoodSong song = ScoredSong(120, 50, 50);
  Assign(Track(1), &song);
  WriteAndClear();
  EXPECT_EQ(std::string("\x00\x00\x00\x01\x00\x01\x80\x7F", 8), ReadFileBytes(File(kHvm + L"MOOD00.dat")));
}

TEST_F(MoodChannelExportTest, AMalformedMoodTableFailsTheMoodFiles) {
  WriteFileBytes(File(kHvm + L"MOOD.ZEP"), ChannelListBytes({Track(7)}));
  WriteFileBytes(File(kHvm + L"MOOD02.dat"), std::string("\x00\x00\x00\x09", 4));
  const MoodSong song = ScoredSong(120, 50, 50);
  Assign(Track(1), &song);
  WriteAndClear(kMoodExportMalformed);
  EXPECT_EQ(ChannelListBytes({Track(7)}), ReadFileBytes(File(kHvm + L"MOOD.ZEP")));
}

TEST_F(MoodChannelExportTest, AnOverlongChannelLineFailsTheWrite) {
  WriteFileBytes(File(kHvc + L"CID005.ZEP"), Utf16Le(L"1\r\n" + std::wstring(258, L'x') + L"\r\n"));
  Assign(Track(1));
  EXPECT_THAT(WriteAndClear(kMoodExportMalformed), IsEmpty());
}

TEST_F(MoodChannelExportTest, ReportsAChannelFolderThatIsGone) {
  std::filesystem::remove_all(LocalPath(File(L"Tavrel_Automotive\\HVC")));
  Assign(Track(1));
  EXPECT_THAT(WriteAndClear(kMoodExportCannotOpen), IsEmpty());
}

TEST_F(MoodChannelExportTest, ReportsAFileItCouldNotReplace) {
  // Too many new tracks to read the old file, and a folder where the file should go.
  std::filesystem::create_directory(LocalPath(File(kHvc + L"CID005.ZEP")));
  for (int n = 0; n < 501; ++n) Assign(Track(n));
  EXPECT_THAT(WriteAndClear(kMoodExportWriteFailed), IsEmpty());
}

TEST_F(MoodChannelExportTest, ReportsOutOfMemory) {
  const MoodSong song = ScoredSong(120, 50, 50);
  const std::vector<uint8_t> payload = song.Payload();
  const std::wstring track = Track(1);
  int result;
  {
    ScopedAllocationFailure failing;
    result = AssignTrackToMoodChannels(payload.data(), payload.size(), track);
  }
  EXPECT_EQ(kMoodExportOutOfMemory, result);
}

}  // namespace
