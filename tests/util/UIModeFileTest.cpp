#include "library/util/UIModeFile.h"

#include <gtest/gtest.h>

#include "UtilTestSupport.h"

namespace {

TEST(UIModeFileTest, OnlyAFirstLineOfExactlyZeroOneOrTwoCounts) {
    CScratchFolder folder;
    const struct {
        const char* bytes;
        int mode;
    } kCases[] = {
        {"2", 2},     {"2\r\n", 2}, {"2\n", 2},   {"1", 1},      {"0", 0},   {"1\r\nrest", 1},
        {" 2", 0},    {"", 0},      {"22", 0},    {"3", 0},      {"2 ", 0},  {"x", 0},
        {"\r\n2", 0}, {"-1", 0},
    };
    int index = 0;
    for (const auto& c : kCases) {
        const std::wstring name = L"TNUIMode" + std::to_wstring(index++) + L".dat";
        ASSERT_TRUE(folder.WriteFile(name, c.bytes));
        EXPECT_EQ(c.mode, ReadUIModeFile(folder.Join(name))) << "[" << c.bytes << "]";
    }
    EXPECT_EQ(0, ReadUIModeFile(folder.Join(L"missing.dat")));
    EXPECT_EQ(0, ReadUIModeFile(L""));
    // A folder in place of the file cannot be read as one.
    EXPECT_EQ(0, ReadUIModeFile(folder.Path()));
}

}  // namespace
