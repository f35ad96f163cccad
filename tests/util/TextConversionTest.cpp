#include "library/util/TextConversion.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextConversionTest, Utf8AndWideRoundTripIncludingCharactersOutsideTheBmp) {
    struct Case {
        const char* utf8;
        const wchar_t* wide;
    };
    const Case cases[] = {
        {"", L""},
        {"plain ASCII", L"plain ASCII"},
        {"caf\xC3\xA9 \xE2\x82\xAC", L"caf\u00E9 \u20AC"},
        {"\xE6\x97\xA5\xE6\x9C\xAC", L"\u65E5\u672C"},
        // U+1F3B5 (musical note) is a surrogate pair in UTF-16.
        {"note \xF0\x9F\x8E\xB5!", L"note \xD83C\xDFB5!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        std::wstring wide = L"stale";
        ASSERT_TRUE(Utf8ToWide(c.utf8, &wide));
        EXPECT_EQ(std::wstring(c.wide), wide);
        std::string narrow = "stale";
        ASSERT_TRUE(WideToUtf8(c.wide, &narrow));
        EXPECT_EQ(std::string(c.utf8), narrow);
    }
}

TEST(TextConversionTest, InvalidInputFailsAndLeavesOutputUnchanged) {
    const char* const badUtf8[] = {
        "\xC3",              // truncated sequence
        "abc\xFF",           // byte that never occurs in UTF-8
        "\xC0\xAF",          // overlong encoding of '/'
        "\xED\xA0\x80",      // encoded surrogate
    };
    for (const char* bad : badUtf8) {
        std::wstring wide = L"kept";
        EXPECT_FALSE(Utf8ToWide(bad, &wide));
        EXPECT_EQ(L"kept", wide);
    }
    std::string narrow = "kept";
    EXPECT_FALSE(WideToUtf8(L"lone \xD800 surrogate", &narrow));
    EXPECT_EQ("kept", narrow);

    std::wstring wide = L"kept";
    EXPECT_FALSE(Utf8ToWide(static_cast<const char*>(nullptr), &wide));
    EXPECT_FALSE(WideToUtf8(static_cast<const wchar_t*>(nullptr), &narrow));
    EXPECT_EQ(L"kept", wide);
}

// Text for display: each bad sequence becomes U+FFFD and the rest stays; the text ends at the
// length given or at a zero byte.
TEST(TextConversionTest, LenientConversionKeepsTheRestOfTheText) {
    struct Case {
        std::string utf8;
        const wchar_t* wide;
    };
    const Case cases[] = {
        {"plain", L"plain"},
        {"Bad \xFF Title", L"Bad \uFFFD Title"},
        {"caf\xC3\xA9 \xE2\x82\xAC", L"caf\u00E9 \u20AC"},
        {"cut \xC3", L"cut \uFFFD"},
        {"note \xF0\x9F\x8E\xB5!", L"note \xD83C\xDFB5!"},
        {std::string("ends\0here", 9), L"ends"},
        {"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(std::wstring(c.wide), Utf8ToWideLenient(c.utf8.data(), c.utf8.size()));
    }
    EXPECT_EQ(L"abc", Utf8ToWideLenient("abcdef", 3));
    EXPECT_EQ(L"", Utf8ToWideLenient(nullptr, 4));
}

TEST(TextConversionTest, ReservedCharactersBecomeUnderscoresOneForOne) {
    std::wstring path = L"C:\\A.B";
    ReplaceReservedChars(&path);
    EXPECT_EQ(L"C__A_B", path);

    std::wstring all = L"\\/:*?\"<.>|a b'-";
    ReplaceReservedChars(&all);
    EXPECT_EQ(L"__________a b'-", all);
}

TEST(TextConversionTest, DotsBecomeCommasAndCaseIsIgnoredInComparisons) {
    std::wstring text = L"1.5 MB.";
    ReplaceDotsWithCommas(&text);
    EXPECT_EQ(L"1,5 MB,", text);

    EXPECT_EQ(0, CompareNoCase(L"Music.MP3", L"music.mp3"));
    EXPECT_LT(CompareNoCase(L"abc", L"ABD"), 0);
    EXPECT_GT(CompareNoCase(L"b", L"A"), 0);
}

}  // namespace
