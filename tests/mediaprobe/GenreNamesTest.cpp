#include "library/media/decode/GenreNames.h"

#include <gtest/gtest.h>

namespace {

TEST(GenreNamesTest, TheListHasExactly148Names) {
    EXPECT_STREQ(L"Blues", GenreName(0));
    EXPECT_STREQ(L"Rock", GenreName(17));
    EXPECT_STREQ(L"Christian Gangsta Rap", GenreName(136));
    EXPECT_STREQ(L"JPop", GenreName(146));
    EXPECT_STREQ(L"SynthPop", GenreName(147));
    EXPECT_EQ(nullptr, GenreName(148));
    EXPECT_EQ(nullptr, GenreName(-1));
    for (int32_t index = 0; index < kGenreNameCount; ++index) EXPECT_NE(nullptr, GenreName(index)) << index;
}

TEST(GenreNamesTest, NumbersInParenthesesOrBareBecomeNames) {
    struct Case {
        const wchar_t* stored;
        int32_t result;
        const wchar_t* read;
    };
    const Case cases[] = {
        {L"(0)", 0, L"Blues"},     {L"17", 0, L"Rock"},       {L"(146)", 0, L"JPop"},
        {L"147", 0, L"SynthPop"},  {L"(148)", -1, L"(148)"},  {L"148", -1, L"148"},
        {L"Rock", -1, L"Rock"},    {L"(-1)", -1, L"(-1)"},    {L"", -1, L""},
        {L"(31)Trance", 0, L"Trance"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        std::wstring genre = c.stored;
        EXPECT_EQ(c.result, ResolveNumericGenre(genre));
        EXPECT_EQ(c.read, genre);
    }
}

}  // namespace
