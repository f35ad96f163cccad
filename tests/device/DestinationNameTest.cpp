#include <gtest/gtest.h>

#include "library/device/DestinationName.h"
#include "tests/device/HostileDestinations.h"

namespace {

TEST(DestinationNameTest, EveryHostileDestinationIsRefused) {
    for (const std::wstring& destination : HostileDestinations()) {
        EXPECT_FALSE(CDestinationName::IsSafeRelativePath(destination)) << testing::PrintToString(destination);
    }
}

TEST(DestinationNameTest, OrdinaryNamesPass) {
    for (const wchar_t* destination :
         {L"MUSIC\\Artist\\Album\\01 Song.mp3", L"song", L"MUSIC\\.hidden", L"MUSIC\\a..b.mp3",
          L"MUSIC\\CONSOLE.mp3", L"MUSIC\\COM10.mp3", L"MUSIC\\LPT.mp3", L"MUSIC\\nul_.mp3",
          L"Tavrel_Automotive\\HVC\\CID001.ZEP", L"MUSIC\\Bj\u00f6rk \u2013 J\u00f3ga.mp3"}) {
        EXPECT_TRUE(CDestinationName::IsSafeRelativePath(destination)) << testing::PrintToString(std::wstring(destination));
    }
}

TEST(DestinationNameTest, LengthLimitsAreInclusive) {
    EXPECT_TRUE(CDestinationName::IsSafeComponent(std::wstring(CDestinationName::kMaxComponentLength, L'a')));
    EXPECT_FALSE(CDestinationName::IsSafeComponent(std::wstring(CDestinationName::kMaxComponentLength + 1, L'a')));
    const std::wstring longest = L"M\\" + std::wstring(CDestinationName::kMaxPathLength - 2, L'a');
    EXPECT_TRUE(CDestinationName::IsSafeRelativePath(longest));
    EXPECT_FALSE(CDestinationName::IsSafeRelativePath(longest + L"a"));
}

TEST(DestinationNameTest, SplitGivesTheNamesInOrder) {
    EXPECT_EQ((std::vector<std::wstring>{L"MUSIC", L"A", L"b.mp3"}), CDestinationName::Split(L"MUSIC\\A\\b.mp3"));
    EXPECT_EQ(std::vector<std::wstring>{L"b.mp3"}, CDestinationName::Split(L"b.mp3"));
}

}  // namespace
