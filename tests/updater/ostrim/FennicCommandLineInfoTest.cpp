#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "updater/ostrim/FennicCommandLineInfo.h"

namespace {

struct Expected {
    int group;
    wchar_t letter;
    const wchar_t* value;  // null = absent
};

struct ParseCase {
    const wchar_t* commandLine;
    int groupCount;
    std::vector<Expected> values;
};

std::wstring ValueText(const CFennicCommandLineInfo& info, int group, wchar_t letter) {
    BSTR value = info.Value(group, letter);
    return value == nullptr ? L"<absent>" : std::wstring(value, SysStringLen(value));
}

const ParseCase kCases[] = {
    // Values before the first "/C" value share group 0 with the first product.
    {L"o.exe /M AUTO /C PA001 /S TNFW /C PP001 /S QV", 2,
     {{0, L'M', L"AUTO"}, {0, L'C', L"PA001"}, {0, L'S', L"TNFW"}, {1, L'C', L"PP001"}, {1, L'S', L"QV"},
      {1, L'M', nullptr}}},
    // A second plain value after "/C" opens one more group.
    {L"o.exe /C PA001 PP001", 2, {{0, L'C', L"PA001"}, {1, L'C', L"PP001"}, {1, L'S', nullptr}}},
    // Quotes around and inside a value are removed.
    {L"o.exe /N \"Two Words\" /E a\\\"b", 0, {{0, L'N', L"Two Words"}, {0, L'E', L"ab"}}},
    // A lower-case flag selects no letter: its value is dropped, and so is "M".
    {L"o.exe /m MANUAL", 0, {{0, L'M', nullptr}}},
    {L"o.exe /M AUTO /s TNFW /S QV", 0, {{0, L'M', L"AUTO"}, {0, L'S', L"QV"}}},
    // Only the first character counts; a later value of the same letter wins.
    {L"o.exe /Cx PA001 /Fyz INFO /F UPDATE", 1, {{0, L'C', L"PA001"}, {0, L'F', L"UPDATE"}}},
    // A plain value before any flag goes to letter A; after a non-letter flag it is ignored.
    {L"o.exe first /1 second", 0, {{0, L'A', L"first"}}},
    // "-" marks a flag as well as "/".
    {L"o.exe -C PA001 -S TNFW", 1, {{0, L'C', L"PA001"}, {0, L'S', L"TNFW"}}},
    // Five groups fill the table exactly.
    {L"o.exe /C G1 /N n1 /C G2 /C G3 /C G4 /C G5 /N n5", 5,
     {{0, L'C', L"G1"}, {0, L'N', L"n1"}, {1, L'C', L"G2"}, {4, L'C', L"G5"}, {4, L'N', L"n5"}}},
    // A sixth group and everything after it are ignored rather than overwriting the fifth.
    {L"o.exe /C G1 /C G2 /C G3 /C G4 /C G5 /N n5 /C G6 /N n6 /S S6", 5,
     {{4, L'C', L"G5"}, {4, L'N', L"n5"}, {4, L'S', nullptr}}},
    {L"o.exe", 0, {{0, L'M', nullptr}, {0, L'C', nullptr}}},
};

TEST(FennicCommandLineInfoTest, ParsesGroupsAndLetters) {
    for (const ParseCase& testCase : kCases) {
        SCOPED_TRACE(testing::Message() << std::string(testCase.commandLine, testCase.commandLine + wcslen(testCase.commandLine)));
        CFennicCommandLineInfo info;
        info.ParseCommandLine(testCase.commandLine);
        EXPECT_EQ(testCase.groupCount, info.GroupCount());
        for (const Expected& expected : testCase.values) {
            EXPECT_EQ(expected.value == nullptr ? std::wstring(L"<absent>") : std::wstring(expected.value),
                      ValueText(info, expected.group, expected.letter))
                << "group " << expected.group << " letter " << static_cast<char>(expected.letter);
        }
    }
}

// The line Quillbay passes when it starts the checker (window box 120,80 saved, version 1.2.3.4).
TEST(FennicCommandLineInfoTest, QuillbayCommandLineGivesPlayerAndApplicationGroups) {
    CFennicCommandLineInfo info;
    info.ParseCommandLine(
        L"\"C:\\Program Files\\Quillbay\\UpdateChecker\\Ostrim.exe\" /M MANUAL /B 120,80,200,266 "
        L"/C PA001 /S TNFW /N \"TORNELLE\" /E 0.00 /F UPDATE /C PP001 /S QV /N \"Quillbay\" /E 1.2.3.4 /F UPDATE");
    ASSERT_EQ(2, info.GroupCount());
    const Expected expected[] = {
        {0, L'M', L"MANUAL"}, {0, L'B', L"120,80,200,266"}, {0, L'C', L"PA001"}, {0, L'S', L"TNFW"},
        {0, L'N', L"TORNELLE"}, {0, L'E', L"0.00"}, {0, L'F', L"UPDATE"}, {1, L'C', L"PP001"},
        {1, L'S', L"QV"}, {1, L'N', L"Quillbay"}, {1, L'E', L"1.2.3.4"}, {1, L'F', L"UPDATE"},
        {1, L'M', nullptr}, {1, L'B', nullptr},
    };
    for (const Expected& e : expected) {
        EXPECT_EQ(std::wstring(e.value == nullptr ? L"<absent>" : e.value), ValueText(info, e.group, e.letter))
            << "group " << e.group << " letter " << static_cast<char>(e.letter);
    }
}

// The base class still sees every argument, so the shared switches keep working.
TEST(FennicCommandLineInfoTest, BaseSeesEveryArgument) {
    CFennicCommandLineInfo info;
    info.ParseCommandLine(L"o.exe /Embedding /M AUTO");
    EXPECT_TRUE(info.runEmbedded);
    EXPECT_EQ(L"AUTO", ValueText(info, 0, L'M'));
}

TEST(FennicCommandLineInfoTest, OutOfRangeLookupsAreAbsent) {
    CFennicCommandLineInfo info;
    info.ParseCommandLine(L"o.exe /C PA001");
    EXPECT_EQ(nullptr, info.Value(-1, L'C'));
    EXPECT_EQ(nullptr, info.Value(5, L'C'));
    EXPECT_EQ(nullptr, info.Value(0, L'a'));
    EXPECT_EQ(nullptr, info.Value(0, L'['));
}

}  // namespace
