#include <gtest/gtest.h>

#include "library/contents/FeedListFile.h"
#include "library/util/TextConversion.h"
#include "tests/contents/ContentsTestSupport.h"

namespace {

std::string ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, &bytes[0], DWORD(bytes.size()), &read, nullptr);
    CloseHandle(file);
    return bytes;
}

std::string Golden(const std::string& xmlUrl) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
           "<opml xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
           "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" version=\"1.0\">\r\n"
           "  <head>\r\n"
           "    <title>Dropped RSS feed</title>\r\n"
           "  </head>\r\n"
           "  <body>\r\n"
           "    <outline text=\"Dropped RSS feed\" title=\"Dropped RSS feed\" type=\"rss\" description=\"\" xmlUrl=\"" +
           xmlUrl + "\"/>\r\n  </body>\r\n</opml>\r\n";
}

struct FeedCase {
    const char* address;  // UTF-8, as dropped
    const wchar_t* fileName;
    const char* xmlUrl;
};

const FeedCase kFeeds[] = {
    {"http://example.com/feed.xml", L"e1405463fed5a96c399ddfef4478f56eda6e5b2b.opml", "http://example.com/feed.xml"},
    {"http://example.com/a?x=1&y=<2>", L"24c50e26715d54b143570a727071695296354180.opml",
     "http://example.com/a?x=1&#38;y=&#60;2&#62;"},
    {"http://example.com/\"q\"/'s", L"9c4791c833e0633668b791272caa6ff0d8bbef63.opml",
     "http://example.com/&#34;q&#34;/'s"},
    {"http://example.com/caf\xC3\xA9/\xC3\xBC", L"6baf252e35bf3b2fce842da8f32dd92390f5fb14.opml",
     "http://example.com/caf&#233;/&#252;"},
    // Characters outside the reference table stay as UTF-8.
    {"http://\xE4\xBE\x8B\xE3\x81\x88.jp/\xE3\x83\x95\xE3\x82\xA3\xE3\x83\xBC\xE3\x83\x89",
     L"c07b8e549e03eb4a480930bbd0b6a8939b269ac5.opml",
     "http://\xE4\xBE\x8B\xE3\x81\x88.jp/\xE3\x83\x95\xE3\x82\xA3\xE3\x83\xBC\xE3\x83\x89"},
    // The third word's top byte is 0x07: its piece is the single digit "7".
    {"http://example.com/feed2", L"2267d72279f6f983aef5e61921f0d93a2b33034.opml", "http://example.com/feed2"},
};

TEST(FeedListFile, DroppedAddressesGiveGoldenFilesNamedByTheirDigest) {
    const std::wstring folder = MakeTempFolder(L"feeds");
    for (const FeedCase& feed : kFeeds) {
        SCOPED_TRACE(feed.address);
        ContentsFixture fixture;
        fixture.manager.SetDataFolder(folder + L"\\");
        // Dropped twice: the same address always gives the same file, rewritten.
        for (int drop = 0; drop < 2; ++drop) {
            CTestDataObject data;
            data.SetBytes(L"UniformResourceLocator", feed.address, strlen(feed.address) + 1);
            EXPECT_EQ(1, fixture.manager.HandleDrop(&data));
        }
        ASSERT_TRUE(fixture.WaitAccounted());
        const auto arrivals = fixture.sink.Arrivals();
        ASSERT_EQ(2u, arrivals.size());
        EXPECT_EQ(folder + L"\\" + feed.fileName, arrivals[0].sourcePath);
        EXPECT_EQ(arrivals[0].sourcePath, arrivals[1].sourcePath);
        EXPECT_EQ(Golden(feed.xmlUrl), ReadBytes(arrivals[0].sourcePath));
    }
    RemoveTree(folder);
}

TEST(FeedListFile, NameOfTheEmptyAddressIsTheEmptyDigest) {
    EXPECT_EQ(L"da39a3ee5e6b4b0d3255bfef95601890afd80709.opml", FeedListFileName(L""));
}

}  // namespace
