#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "library/contents/FeedListFile.h"
#include "library/util/DestinationName.h"
#include "library/util/FileSystem.h"
#include "tests/contents/CheckTestSupport.h"

namespace {

constexpr uint64_t kMp3Bit = uint64_t(1) << 1;
constexpr uint64_t kM4aBit = uint64_t(1) << 5;
constexpr uint64_t kM4vBit = uint64_t(1) << 34;
constexpr uint64_t kFeedBit = uint64_t(1) << 57;

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    return ok;
}

std::string ReadBytes(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

// Announces the requests as a drop does, then queues them.
void Post(CheckFixture& fixture, const std::vector<std::pair<int32_t, std::wstring>>& requests, int32_t prefix) {
    fixture.manager.AddTransferRequest(2, L"", int32_t(requests.size()));
    for (const auto& request : requests) fixture.manager.AddTransferRequest(request.first, request.second, prefix);
}

TEST(ContentsProcess, FilesOnThePlayerGoToListBExceptDuringASync) {
    struct Case {
        int32_t kind;
        bool listB;
        int syncList;  // -1 none
        bool arrives;
    };
    const Case cases[] = {
        {1, true, -1, false},  {9, true, -1, false}, {10, false, 0, false},
        {11, false, 2, false}, {12, false, 3, false}, {14, false, -1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "request kind " << c.kind);
        CheckFixture fixture;
        fixture.manager.SetListener(&fixture.listener);
        fixture.manager.SetFileTypeMasks(kMp3Bit, kMp3Bit);
        const std::wstring path = L"C:\\Music\\Band\\song.mp3";
        fixture.coordinator.onPlayer.insert(path);
        Post(fixture, {{c.kind, path}}, 9);
        ASSERT_TRUE(fixture.WaitAccounted());
        EXPECT_EQ(c.listB ? std::vector<std::wstring>{path} : std::vector<std::wstring>{},
                  fixture.manager.GetReportListB());
        EXPECT_TRUE(fixture.manager.GetReportListA().empty());
        std::vector<std::pair<int32_t, std::wstring>> expectedSync;
        if (c.syncList >= 0) expectedSync.emplace_back(c.syncList, path);
        EXPECT_EQ(expectedSync, fixture.listener.syncFiles);
        EXPECT_EQ(c.arrives ? 1u : 0u, fixture.sink.Count());
        EXPECT_EQ(c.arrives ? 0 : 1, fixture.coordinator.itemsDone.load());
        if (c.arrives) {
            // A write regardless keeps where the file already is.
            EXPECT_EQ(L"\\Music\\Band\\song.mp3", fixture.sink.Arrivals()[0].deviceObjectId);
        }
    }
}

TEST(ContentsProcess, EveryRefusalIsReportedDoneOnce) {
    CheckFixture fixture;
    fixture.manager.SetListener(&fixture.listener);
    fixture.manager.SetFileTypeMasks(kMp3Bit | kM4aBit, 0);
    fixture.coordinator.audioProfiles = {PlaybackProfileFixture{}};
    fixture.coordinator.audioProfiles[0].audioLimit = 192000;
    fixture.coordinator.onPlayer = {L"C:\\in\\there.mp3"};
    fixture.probe.unsupportedAudio = 1;  // every m4a holds lossless audio
    Post(fixture,
         {{1, L"C:\\in\\a.mp3"}, {1, L"C:\\in\\notes.txt"}, {1, L"C:\\in\\b.wma"}, {1, L"C:\\in\\lossless.m4a"},
          {1, L"C:\\in\\there.mp3"}, {1, L"C:\\in\\c.mp3"}, {10, L"C:\\in\\sync.wav"}},
         6);
    ASSERT_TRUE(fixture.WaitAccounted());
    EXPECT_EQ(2u, fixture.sink.Count());
    const std::vector<std::wstring> listA = {L"C:\\in\\notes.txt", L"C:\\in\\b.wma", L"C:\\in\\lossless.m4a",
                                             L"C:\\in\\sync.wav"};
    EXPECT_EQ(listA, fixture.manager.GetReportListA());
    EXPECT_EQ(std::vector<std::wstring>{L"C:\\in\\there.mp3"}, fixture.manager.GetReportListB());
    EXPECT_EQ(5, fixture.coordinator.itemsDone.load());
    // The refused sync file still joins the sync list.
    EXPECT_EQ((std::vector<std::pair<int32_t, std::wstring>>{{0, L"C:\\in\\sync.wav"}}), fixture.listener.syncFiles);
}

TEST(ContentsProcess, HostileNamesStayInsideTheKindsFolder) {
    CheckFixture fixture;
    fixture.manager.SetFileTypeMasks(kMp3Bit, 0);
    struct Case {
        int32_t kind;
        const wchar_t* path;
        int32_t prefix;
        const wchar_t* artist;
        const wchar_t* album;
        const wchar_t* relative;
    };
    const Case cases[] = {
        {9, L"C:\\m\\a.mp3", 5, L"..\\..\\Windows", L"CON", L"______Windows\\_CON\\a.mp3"},
        {9, L"C:\\m\\b.mp3", 5, L"", L"", L"{no name}\\{no album name}\\b.mp3"},
        {9, L"C:\\m\\c.mp3", 5, L"Band  ", L"   ", L"Band\\{no album name}\\c.mp3"},
        {9, L"C:\\m\\d.mp3", 5, L"a/b:c*d", L"lpt1", L"a_b_c_d\\_lpt1\\d.mp3"},
        {9, L"C:\\m\\AUX.mp3", 5, L"x", L"y", L"x\\y\\_AUX.mp3"},
        {1, L"C:\\m\\..\\..\\e.mp3", 5, L"", L"", L"_\\_\\e.mp3"},
        {1, L"C:\\m\\x/../../f.mp3", 5, L"", L"", L"x\\_\\_\\f.mp3"},
        {1, L"C:\\m\\dir. \\nul.mp3", 5, L"", L"", L"dir\\_nul.mp3"},
        {1, L"C:\\m\\\\\\g.mp3", 5, L"", L"", L"g.mp3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.path, c.path + wcslen(c.path)));
        fixture.probe.tagArtist = c.artist;
        fixture.probe.tagAlbum = c.album;
        const size_t before = fixture.sink.Count();
        Post(fixture, {{c.kind, c.path}}, c.prefix);
        ASSERT_TRUE(WaitFor([&] { return fixture.sink.Count() == before + 1; }));
        const std::wstring relative = fixture.sink.Arrivals().back().relativePath;
        EXPECT_EQ(c.relative, relative);
        EXPECT_TRUE(CDestinationName::IsSafeRelativePath(relative));
    }
    // A path that names no file.
    Post(fixture, {{1, L"C:\\m\\"}}, 5);
    ASSERT_TRUE(fixture.WaitAccounted());
    EXPECT_EQ(std::vector<std::wstring>{L"C:\\m\\"}, fixture.manager.GetReportListA());
}

class FeedProcess : public testing::Test {
protected:
    void SetUp() override {
        folder_ = MakeTempFolder(L"feeds");
        data_ = folder_ + L"\\data\\";
        ASSERT_TRUE(CreateFolderTree(data_));
        fixture_.manager.SetDataFolder(data_);
        fixture_.manager.SetFileTypeMasks(kFeedBit, 0);
    }
    void TearDown() override { RemoveTree(folder_); }

    std::wstring folder_;
    std::wstring data_;
    CheckFixture fixture_;
};

const char kSubscription[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><pcast><channel>"
    "<link rel=\"feed\" type=\"application/rss+xml\" href=\"http://example.com/a&amp;b.xml\"/>"
    "<title>..\\..\\CON &lt;Tones&gt;</title><subtitle>Every \"morning\"</subtitle></channel></pcast>";

TEST_F(FeedProcess, SubscriptionBecomesAFeedListNamedByItsAddress) {
    const std::wstring pcast = folder_ + L"\\Tones.pcast";
    ASSERT_TRUE(WriteBytes(pcast, kSubscription));
    Post(fixture_, {{1, pcast}}, int32_t(folder_.size()) + 1);
    ASSERT_TRUE(fixture_.WaitAccounted());
    ASSERT_EQ(1u, fixture_.sink.Count());
    const CContentSink::Arrival arrival = fixture_.sink.Arrivals()[0];
    const std::wstring name = FeedListFileName(L"http://example.com/a&b.xml");
    EXPECT_EQ(data_ + name, arrival.sourcePath);
    EXPECT_EQ(name, arrival.relativePath);
    EXPECT_EQ(uint32_t(CTNContent::kFeedFile), arrival.kind);
    EXPECT_EQ(37u, arrival.fileType);
    EXPECT_EQ(1, arrival.originFlag);
    EXPECT_EQ(36u, arrival.lookupId.size());
    const std::string written = ReadBytes(data_ + name);
    EXPECT_NE(std::string::npos, written.find("<title>..\\..\\CON &#60;Tones&#62;</title>")) << written;
    EXPECT_NE(std::string::npos, written.find("description=\"Every &#34;morning&#34;\"")) << written;
    EXPECT_NE(std::string::npos, written.find("xmlUrl=\"http://example.com/a&#38;b.xml\"")) << written;
}

TEST_F(FeedProcess, RefusedSubscriptionsAreAccountedInListA) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"no channel", "<pcast><title>x</title></pcast>"},
        {"not XML", "garbage"},
        {"empty", ""},
        {"too large", std::string(300 * 1024, ' ')},
        {"missing", ""},
        {"entity expansion", "<!DOCTYPE pcast [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;\">]>"
                             "<pcast><channel><title>&b;</title></channel></pcast>"},
    };
    std::vector<std::wstring> expected;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = c.name;
        const std::wstring pcast = folder_ + L"\\" + std::wstring(name.begin(), name.end()) + L".pcast";
        if (name != "missing") {
            ASSERT_TRUE(WriteBytes(pcast, c.bytes));
        }
        expected.push_back(pcast);
        Post(fixture_, {{1, pcast}}, 3);
    }
    ASSERT_TRUE(fixture_.WaitAccounted());
    EXPECT_EQ(0u, fixture_.sink.Count());
    EXPECT_EQ(expected, fixture_.manager.GetReportListA());
    EXPECT_EQ(int(expected.size()), fixture_.coordinator.itemsDone.load());
}

TEST_F(FeedProcess, FeedListsOnThePlayerGoToListBAndOnlyOurOwnAreDeleted) {
    const std::wstring pcast = folder_ + L"\\Tones.pcast";
    ASSERT_TRUE(WriteBytes(pcast, kSubscription));
    const std::wstring written = data_ + FeedListFileName(L"http://example.com/a&b.xml");
    const std::wstring users = folder_ + L"\\My feeds.opml";
    ASSERT_TRUE(WriteBytes(users, "<opml/>"));
    fixture_.coordinator.onPlayer = {written, users};
    Post(fixture_, {{1, pcast}, {1, users}}, 3);
    ASSERT_TRUE(fixture_.WaitAccounted());
    EXPECT_EQ(0u, fixture_.sink.Count());
    EXPECT_EQ((std::vector<std::wstring>{written, users}), fixture_.manager.GetReportListB());
    EXPECT_FALSE(PathExists(written));
    EXPECT_TRUE(PathExists(users));
    EXPECT_EQ(2, fixture_.coordinator.itemsDone.load());
}

TEST_F(FeedProcess, DroppedFeedListKeepsItsPathAndAMissingOneIsRefused) {
    const std::wstring opml = folder_ + L"\\Radio CON.opml";
    ASSERT_TRUE(WriteBytes(opml, "<opml/>"));
    // The list of a dropped address that could not be written.
    const std::wstring unwritten = data_ + L"unwritten.opml";
    Post(fixture_, {{1, opml}, {1, unwritten}}, 3);
    ASSERT_TRUE(fixture_.WaitAccounted());
    EXPECT_EQ(std::vector<std::wstring>{unwritten}, fixture_.manager.GetReportListA());
    ASSERT_EQ(1u, fixture_.sink.Count());
    const CContentSink::Arrival arrival = fixture_.sink.Arrivals()[0];
    EXPECT_EQ(opml, arrival.sourcePath);
    EXPECT_EQ(L"Radio CON.opml", arrival.relativePath);
    EXPECT_EQ(uint32_t(CTNContent::kFeedFile), arrival.kind);
    EXPECT_EQ(37u, arrival.fileType);
    EXPECT_EQ(0, arrival.originFlag);
    EXPECT_FALSE(arrival.lookupId.empty());
}

CTNContent* Track(const std::wstring& path, const wchar_t* artist, const wchar_t* album, bool podcast) {
    CTNContent* track = new CTNContent(1, 0);
    track->sourcePath = path;
    track->artist = artist;
    track->album = album;
    track->isPodcast = podcast ? 1 : 0;
    return track;
}

TEST(ContentsProcessItems, ITunesRecordsArePlacedByArtistAndAlbum) {
    CheckFixture fixture;
    fixture.manager.SetListener(&fixture.listener);
    fixture.manager.SetFileTypeMasks(kM4aBit | kMp3Bit | kM4vBit | kFeedBit, kMp3Bit);
    const std::wstring folder = MakeTempFolder(L"artwork");
    const std::wstring artwork = folder + L"\\cover.jpg";
    ASSERT_TRUE(WriteEmptyFile(artwork));
    fixture.coordinator.onPlayer = {L"C:\\iTunes\\there.m4a"};
    PlaybackProfileFixture anyMovie;
    anyMovie.hasVideo = true;
    fixture.coordinator.videoProfiles = {anyMovie};

    // Handed over right after construction, likely before the item worker runs: none is lost.
    fixture.manager.OnITunesItem(Track(L"C:\\iTunes\\Band\\Album\\01 Song.m4a", L"Band", L"Album", false));
    fixture.manager.OnITunesItem(Track(L"C:\\iTunes\\x.m4a", L"", L"", false));
    fixture.manager.OnITunesItem(Track(L"C:\\iTunes\\Show\\ep1.mp3", L"Host", L"Show", true));
    fixture.manager.OnITunesItem(Track(L"C:\\iTunes\\Show\\ep2.mp3", L"..", L"..\\..", true));
    CTNContent* movie = Track(L"C:\\iTunes\\Movies\\Film.m4v", L"", L"", false);
    movie->artworkPath = artwork;
    fixture.manager.OnITunesItem(movie);
    CTNContent* placeholder = new CTNContent(1, CTNContent::kITunesTrack);
    fixture.manager.OnITunesItem(placeholder);
    fixture.manager.OnITunesItem(Track(L"C:\\iTunes\\there.m4a", L"", L"", false));
    fixture.manager.OnITunesItem(Track(L"C:\\iTunes\\lost.flac", L"", L"", false));
    ASSERT_TRUE(WaitFor([&] { return fixture.sink.Count() + size_t(fixture.coordinator.itemsDone.load()) == 8; }));

    std::map<std::wstring, CContentSink::Arrival> arrivals;
    for (const auto& arrival : fixture.sink.Arrivals()) arrivals.emplace(arrival.sourcePath, arrival);
    ASSERT_EQ(5u, arrivals.size());
    EXPECT_EQ(L"Band\\Album\\01 Song.m4a", arrivals[L"C:\\iTunes\\Band\\Album\\01 Song.m4a"].relativePath);
    EXPECT_EQ(L"{no name}\\{no album name}\\x.m4a", arrivals[L"C:\\iTunes\\x.m4a"].relativePath);
    // Podcasts leave the artist out.
    EXPECT_EQ(L"Show\\ep1.mp3", arrivals[L"C:\\iTunes\\Show\\ep1.mp3"].relativePath);
    EXPECT_EQ(uint32_t(CTNContent::kAudioEpisode), arrivals[L"C:\\iTunes\\Show\\ep1.mp3"].kind);
    EXPECT_EQ(L"_____\\ep2.mp3", arrivals[L"C:\\iTunes\\Show\\ep2.mp3"].relativePath);
    const CContentSink::Arrival film = arrivals[L"C:\\iTunes\\Movies\\Film.m4v"];
    EXPECT_EQ(L"Film.m4v", film.relativePath);
    EXPECT_EQ(artwork, film.companionSourcePath);
    EXPECT_EQ(L"Film.jpg", film.companionRelativePath);
    for (const auto& arrival : arrivals) EXPECT_EQ(1, arrival.second.originFlag);

    EXPECT_EQ(std::vector<std::wstring>{L"C:\\iTunes\\there.m4a"}, fixture.manager.GetReportListB());
    EXPECT_EQ(std::vector<std::wstring>{L"C:\\iTunes\\lost.flac"}, fixture.manager.GetReportListA());
    EXPECT_EQ(3, fixture.coordinator.itemsDone.load());
    // Asked once, at the first podcast.
    EXPECT_EQ(1, fixture.listener.podcastCautions.load());
    RemoveTree(folder);
}

TEST(ContentsProcessItems, PodcastCautionOnlyWithFeedsAndOnlyOnce) {
    for (const bool feeds : {false, true}) {
        SCOPED_TRACE(feeds ? "player takes feeds" : "no feeds");
        CheckFixture fixture;
        fixture.manager.SetListener(&fixture.listener);
        fixture.manager.SetFileTypeMasks(feeds ? kFeedBit : 0, kMp3Bit);
            fixture.manager.OnITunesItem(Track(L"C:\\iTunes\\ep1.mp3", L"", L"", true));
        ASSERT_TRUE(WaitFor([&] { return fixture.sink.Count() == 1; }));
        // The flag is set by the first podcast whether or not the question was put.
        fixture.manager.SetFileTypeMasks(kFeedBit, kMp3Bit);
        fixture.manager.OnITunesItem(Track(L"C:\\iTunes\\ep2.mp3", L"", L"", true));
        ASSERT_TRUE(WaitFor([&] { return fixture.sink.Count() == 2; }));
        EXPECT_EQ(feeds ? 1 : 0, fixture.listener.podcastCautions.load());
    }
}

}  // namespace
