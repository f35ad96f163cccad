#include "library/util/CharacterReferences.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

std::wstring Encode(std::wstring text) {
    EncodeCharacterReferences(&text);
    return text;
}

std::wstring Numeric(unsigned code) { return L"&#" + std::to_wstring(code) + L";"; }

// The covered characters, written out independently of the implementation's range table.
std::set<unsigned> CoveredCharacters() {
    std::set<unsigned> covered = {0x22, 0x26, 0x3C, 0x3E, 0xAE, 0xB5, 0xB6, 0x192, 0x1A0, 0x1A1, 0x1AF,
                                  0x1B0, 0x386, 0x38C, 0x201E, 0x2026, 0x2030, 0x2039, 0x203A, 0x20AC,
                                  0x2122, 0x2200, 0x2202, 0x2203, 0x220B, 0x220F, 0x2211, 0x2212, 0x2217,
                                  0x221A, 0x221D, 0x221E, 0x2220, 0x222E, 0x2234, 0x2235, 0x223C, 0x223D,
                                  0x2245, 0x2248, 0x2260, 0x2261, 0x2264, 0x2265, 0x226A, 0x226B, 0x2286,
                                  0x2287, 0x2295, 0x2297, 0x22A5, 0x22C5, 0x2329, 0x232A, 0x2660, 0x2663,
                                  0x2665, 0x2666};
    const std::pair<unsigned, unsigned> ranges[] = {
        {0xA1, 0xAC},     {0xB0, 0xB3},     {0xB9, 0x17F},    {0x1FA, 0x1FF},   {0x388, 0x38A},
        {0x38E, 0x3A1},   {0x3A3, 0x3CE},   {0x2020, 0x2022}, {0x215B, 0x215E}, {0x2205, 0x2209},
        {0x2227, 0x222C}, {0x2282, 0x2284}, {0x2308, 0x230B},
    };
    for (const auto& range : ranges) {
        for (unsigned c = range.first; c <= range.second; ++c) covered.insert(c);
    }
    return covered;
}

TEST(CharacterReferencesTest, EveryBmpCharacterIsEncodedExactlyWhenTheTableCoversIt) {
    const std::map<unsigned, std::wstring> special = {
        {0x20AC, L"&#128;"},   {0x2030, L"&#137;"},  {0x201E, L"&#132;"},   {0x2026, L"&#133;"},
        {0x2020, L"&#134;"},   {0x2021, L"&#135;"},  {0x2039, L"&#139;"},   {0x203A, L"&#155;"},
        {0x2022, L"&#149;"},   {0x2122, L"&#153;"},  {0x0192, L"&#131;"},   {0x0160, L"&#138;"},
        {0x0152, L"&#140;"},   {0x017D, L"&#142;"},  {0x0161, L"&#154;"},   {0x0153, L"&#156;"},
        {0x017E, L"&#158;"},   {0x0178, L"&#159;"},  {0x2205, L"&empty;"},  {0x2209, L"&notin;"},
        {0x2217, L"&lowast;"}, {0x223C, L"&sim;"},   {0x2284, L"&nsub;"},   {0x2295, L"&oplus;"},
        {0x2297, L"&otimes;"}, {0x22C5, L"&sdot;"},  {0x2308, L"&lceil;"},  {0x2309, L"&rceil;"},
        {0x230A, L"&lfloor;"}, {0x230B, L"&rfloor;"}, {0x2329, L"&lang;"},  {0x232A, L"&rang;"},
        {0x2660, L"&spades;"}, {0x2663, L"&clubs;"}, {0x2665, L"&hearts;"}, {0x2666, L"&diams;"},
    };
    const std::set<unsigned> covered = CoveredCharacters();
    ASSERT_EQ(371u, covered.size());

    size_t encodedCount = 0;
    for (unsigned code = 1; code <= 0xFFFF; ++code) {
        const std::wstring original(1, static_cast<wchar_t>(code));
        const std::wstring result = Encode(original);
        if (covered.count(code) == 0) {
            EXPECT_EQ(original, result) << "U+" << std::hex << code;
            continue;
        }
        ++encodedCount;
        auto it = special.find(code);
        EXPECT_EQ(it != special.end() ? it->second : Numeric(code), result) << "U+" << std::hex << code;
    }
    EXPECT_EQ(371u, encodedCount);
}

TEST(CharacterReferencesTest, TextsAreEncodedCharacterByCharacterWithoutReencodingReplacements) {
    EXPECT_EQ(L"Rock 'n' Roll 123 \u65E5\u672C", Encode(L"Rock 'n' Roll 123 \u65E5\u672C"));
    EXPECT_EQ(L"&#34;A&#38;B&#60;&#62;&#171;", Encode(L"\"A&B<>\u00AB"));
    EXPECT_EQ(L"&#913;&#383;&#256;&#912;&#138;", Encode(L"\u0391\u017F\u0100\u0390\u0160"));
    EXPECT_EQ(L"&#38;amp; &#38;#128;", Encode(L"&amp; &#128;"));
    EXPECT_EQ(L"", Encode(L""));
}

TEST(CharacterReferencesTest, ApproximatelyEqualIsWrittenAsItsOwnCodePoint) {
    // Written as U+2252's number, an XML reader would bring back a different character.
    EXPECT_EQ(L"&#8773;", Encode(L"\u2245"));
    EXPECT_EQ(L"\u2252", Encode(L"\u2252"));
}

}  // namespace
