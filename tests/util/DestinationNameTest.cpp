#include <gtest/gtest.h>

#include "library/util/DestinationName.h"
#include "tests/device/HostileDestinations.h"

namespace {

TEST(DestinationName, SafeDestinationsStayInTheFolderAndFitTheFileSystem) {
    struct Case {
        const wchar_t* destination;
        bool safe;
    };
    const Case cases[] = {
        {L"Music\\Band\\Album\\01 Song.mp3", true},
        {L"song.mp3", true},
        {L"Music\\\\song.mp3", false},  // an empty name between separators
        {L"Fold.er\\.hidden", true},
        {L"COM10.mp3", true},
        {L"CONSOLE.mp3", true},
        {L"", false},
        {L"\\Music\\song.mp3", false},
        {L"..\\song.mp3", false},
        {L"Music\\..\\..\\song.mp3", false},
        {L"Music\\.\\song.mp3", false},
        {L"C:\\song.mp3", false},
        {L"song.mp3:stream", false},
        {L"Music/../song.mp3", false},
        {L"a<b.mp3", false},
        {L"a|b.mp3", false},
        {L"a?.mp3", false},
        {L"a*.mp3", false},
        {L"a\"b.mp3", false},
        {L"tab\t.mp3", false},
        {L"Music\\Band.\\song.mp3", false},
        {L"Music\\Band \\song.mp3", false},
        {L"song.mp3 ", false},
        {L"CON", false},
        {L"Music\\con.mp3", false},
        {L"Music\\NUL .txt", false},
        {L"aux\\song.mp3", false},
        {L"LPT9.m4a", false},
        {L"com1", false},
        {L"COM\u00b9.mp3", false},
        {L"PRN.tar.gz", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.destination, c.destination + wcslen(c.destination)));
        EXPECT_EQ(c.safe, CDestinationName::IsSafeRelativePath(c.destination));
    }
}

TEST(DestinationName, ComponentsAreMadeSafe) {
    struct Case {
        const wchar_t* component;
        const wchar_t* safe;
    };
    const Case cases[] = {
        {L"01 Song.mp3", L"01 Song.mp3"},
        {L"..", L"_"},
        {L".", L"_"},
        {L"", L"_"},
        {L"   ", L"_"},
        {L"a\\b/c", L"a_b_c"},
        {L"Band. . ", L"Band"},
        {L"CON", L"_CON"},
        {L"nul.mp3", L"_nul.mp3"},
        {L"Com3 .txt", L"_Com3 .txt"},
        {L"x:y*z?", L"x_y_z_"},
        {L"ctl\x01\x1f", L"ctl__"},
        {L"CONIN$", L"_CONIN$"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.component, c.component + wcslen(c.component)));
        const std::wstring made = CDestinationName::MakeSafeComponent(c.component);
        EXPECT_EQ(c.safe, made);
        EXPECT_TRUE(CDestinationName::IsSafeComponent(made));
    }
}

TEST(DestinationName, EveryHostileDestinationIsRefused) {
    for (const std::wstring& destination : HostileDestinations()) {
        EXPECT_FALSE(CDestinationName::IsSafeRelativePath(destination)) << testing::PrintToString(destination);
    }
}

TEST(DestinationName, OrdinaryNamesPass) {
    for (const wchar_t* destination :
         {L"MUSIC\\Artist\\Album\\01 Song.mp3", L"song", L"MUSIC\\.hidden", L"MUSIC\\a..b.mp3",
          L"MUSIC\\CONSOLE.mp3", L"MUSIC\\COM10.mp3", L"MUSIC\\LPT.mp3", L"MUSIC\\nul_.mp3",
          L"Tavrel_Automotive\\HVC\\CID001.ZEP", L"MUSIC\\Bj\u00f6rk \u2013 J\u00f3ga.mp3"}) {
        EXPECT_TRUE(CDestinationName::IsSafeRelativePath(destination)) << testing::PrintToString(std::wstring(destination));
    }
}

TEST(DestinationName, LengthLimitsAreInclusive) {
    EXPECT_TRUE(CDestinationName::IsSafeComponent(std::wstring(CDestinationName::kMaxComponentLength, L'a')));
    EXPECT_FALSE(CDestinationName::IsSafeComponent(std::wstring(CDestinationName::kMaxComponentLength + 1, L'a')));
    const std::wstring longest = L"M\\" + std::wstring(CDestinationName::kMaxPathLength - 2, L'a');
    EXPECT_TRUE(CDestinationName::IsSafeRelativePath(longest));
    EXPECT_FALSE(CDestinationName::IsSafeRelativePath(longest + L"a"));
}

TEST(DestinationName, SplitGivesTheNamesInOrder) {
    EXPECT_EQ((std::vector<std::wstring>{L"MUSIC", L"A", L"b.mp3"}), CDestinationName::Split(L"MUSIC\\A\\b.mp3"));
    EXPECT_EQ(std::vector<std::wstring>{L"b.mp3"}, CDestinationName::Split(L"b.mp3"));
}

}  // namespace
