#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "library/contents/PcastReader.h"

namespace {

struct ComApartment {
    ComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComApartment() { CoUninitialize(); }
};

struct Parsed {
    HRESULT hr;
    std::unique_ptr<pcast::CChannel> channel;
};

Parsed Parse(const std::string& bytes) {
    pcast::CChannel* channel = reinterpret_cast<pcast::CChannel*>(1);
    const HRESULT hr =
        ParsePcastChannel(reinterpret_cast<const uint8_t*>(bytes.data()), int32_t(bytes.size()), &channel);
    return Parsed{hr, std::unique_ptr<pcast::CChannel>(channel)};
}

const char kFull[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<pcast version=\"1.0\">\n"
    "  <channel>\n"
    "    <link rel=\"feed\" type=\"application/rss+xml\" href=\"http://example.com/feed.xml\"/>\n"
    "    <title>Morning Tones</title>\n"
    "    <category>Music</category>\n"
    "    <subtitle>Short &amp; sweet</subtitle>\n"
    "  </channel>\n"
    "</pcast>\n";

TEST(PcastReader, ReadsEveryFieldOfTheChannel) {
    ComApartment com;
    const Parsed parsed = Parse(kFull);
    ASSERT_EQ(S_OK, parsed.hr);
    ASSERT_NE(nullptr, parsed.channel);
    EXPECT_EQ(L"feed", parsed.channel->link.rel);
    EXPECT_EQ(L"application/rss+xml", parsed.channel->link.type);
    EXPECT_EQ(L"http://example.com/feed.xml", parsed.channel->link.href);
    EXPECT_EQ(L"Morning Tones", parsed.channel->title);
    EXPECT_EQ(L"Music", parsed.channel->category);
    EXPECT_EQ(L"Short & sweet", parsed.channel->subtitle);
}

TEST(PcastReader, ShapesOfTheDocument) {
    ComApartment com;
    struct Case {
        const char* name;
        std::string bytes;
        HRESULT hr;
        const wchar_t* rel;
        const wchar_t* type;
        const wchar_t* href;
        const wchar_t* title;
        const wchar_t* category;
    };
    const Case cases[] = {
        {"link without rel and type", "<pcast><channel><link href=\"http://a/f\"/><title>T</title></channel></pcast>",
         S_FALSE, L"", L"", L"http://a/f", L"T", L""},
        {"two channels: the first is read",
         "<pcast><channel><title>One</title><subtitle>s</subtitle><link href=\"h1\"/></channel>"
         "<channel><title>Two</title><link href=\"h2\"/></channel></pcast>",
         S_OK, L"", L"", L"h1", L"One", L""},
        {"no category", "<pcast><channel><title>T</title><subtitle>S</subtitle></channel></pcast>", S_OK, L"", L"",
         L"", L"T", L""},
        {"non-ASCII text", "<pcast><channel><title>Caf\xC3\xA9 \xE2\x98\x95 \xE6\x97\xA5</title>"
                           "<subtitle>x</subtitle></channel></pcast>",
         S_OK, L"", L"", L"", L"Caf\u00e9 \u2615 \u65e5", L""},
        {"byte-order mark", "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?><pcast><channel><title>B</title>"
                            "<subtitle/></channel></pcast>",
         S_OK, L"", L"", L"", L"B", L""},
        {"channel below other elements", "<a><b><pcast><channel><category>C</category><subtitle/></channel></pcast></b></a>",
         S_OK, L"", L"", L"", L"", L"C"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Parsed parsed = Parse(c.bytes);
        EXPECT_EQ(c.hr, parsed.hr);
        ASSERT_NE(nullptr, parsed.channel);
        EXPECT_EQ(c.rel, parsed.channel->link.rel);
        EXPECT_EQ(c.type, parsed.channel->link.type);
        EXPECT_EQ(c.href, parsed.channel->link.href);
        EXPECT_EQ(c.title, parsed.channel->title);
        EXPECT_EQ(c.category, parsed.channel->category);
    }
}

TEST(PcastReader, RefusedDocumentsGiveNoChannel) {
    ComApartment com;
    // Each entity holds ten of the one before: the last would be 10^9 copies of "lol".
    std::string bomb = "<?xml version=\"1.0\"?><!DOCTYPE pcast [<!ENTITY l0 \"lol\">";
    for (int i = 1; i < 10; ++i) {
        bomb += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) bomb += "&l" + std::to_string(i - 1) + ";";
        bomb += "\">";
    }
    bomb += "]><pcast><channel><title>&l9;</title></channel></pcast>";
    std::string deep;
    for (int i = 0; i < 20000; ++i) deep += "<d>";
    deep += "<pcast><channel><title>deep</title></channel></pcast>";
    struct Case {
        const char* name;
        std::string bytes;
        HRESULT hr;
    };
    const Case cases[] = {
        {"no channel element", "<pcast><title>x</title></pcast>", S_FALSE},
        {"not XML", "this is not a subscription", S_FALSE},
        {"cut short", std::string(kFull, 60), S_FALSE},
        {"byte-order mark alone", "\xEF\xBB\xBF", S_FALSE},
        {"invalid UTF-8", "<pcast><channel><title>\xC3\x28</title></channel></pcast>",
         HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION)},
        {"entity expansion", bomb, HRESULT_FROM_WIN32(ERROR_INVALID_DATA)},
        {"one byte past the limit", std::string(size_t(kMaxPcastBytes) + 1, ' '),
         HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Parsed parsed = Parse(c.bytes);
        EXPECT_EQ(c.hr, parsed.hr);
        EXPECT_EQ(nullptr, parsed.channel);
    }
    // Nesting past the parser's depth limit fails or is read; either way it returns.
    const Parsed nested = Parse(deep);
    if (nested.channel) {
        EXPECT_EQ(L"deep", nested.channel->title);
    }
}

TEST(PcastReader, BadArgumentsArePointerErrors) {
    ComApartment com;
    const uint8_t byte = '<';
    pcast::CChannel* channel = nullptr;
    EXPECT_EQ(E_POINTER, ParsePcastChannel(nullptr, 10, &channel));
    EXPECT_EQ(E_POINTER, ParsePcastChannel(&byte, 0, &channel));
    EXPECT_EQ(E_POINTER, ParsePcastChannel(&byte, -5, &channel));
    EXPECT_EQ(E_POINTER, ParsePcastChannel(&byte, 1, nullptr));
    EXPECT_EQ(E_POINTER, ReadPcastChannel(nullptr, &channel));
    EXPECT_EQ(nullptr, channel);
}

// The size is refused before the text is decoded, so a hostile file costs no copies of itself.
TEST(PcastReader, FiftyMegabytesAreRefusedBeforeDecoding) {
    ComApartment com;
    const std::string head = "<pcast><channel><title>";
    const std::string tail = "</title></channel></pcast>";
    std::string huge;
    huge.reserve(head.size() + (50u << 20) + tail.size());
    huge += head;
    huge.append(50u << 20, 'x');
    huge += tail;
    const DWORD start = GetTickCount();
    const Parsed parsed = Parse(huge);
    EXPECT_LT(GetTickCount() - start, 200u);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE), parsed.hr);
    EXPECT_EQ(nullptr, parsed.channel);

    // The largest document taken is read whole.
    std::string largest = "<pcast><channel><title>";
    largest.append(size_t(kMaxPcastBytes) - 64, 'y');
    largest += "</title></channel></pcast>";
    ASSERT_LE(largest.size(), size_t(kMaxPcastBytes));
    const Parsed read = Parse(largest);
    ASSERT_NE(nullptr, read.channel);
    EXPECT_EQ(size_t(kMaxPcastBytes) - 64, read.channel->title.size());
}

}  // namespace
