#include <gtest/gtest.h>

#include "library/util/ScopedWin.h"
#include "tests/updater/oplogsys/LogTestSupport.h"
#include "updater/oplogsys/ErrorLogIO.h"

using namespace oplogtest;
using opLogSys::COutputLogSystem;

namespace {

// Numbered lines of 70 bytes with CR LF.
std::string NumberedLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        char line[80];
        snprintf(line, sizeof(line), "line %05d %057d\r\n", i, 0);
        text += line;
    }
    return text;
}

std::string TrimmedContent(const std::string& content, DWORD limit) {
    CScratchFolder folder;
    EXPECT_TRUE(folder.WriteFile(L"log.txt", content));
    {
        CScopedHandle file(CreateFileW(folder.Join(L"log.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
        EXPECT_TRUE(opLogSys::TrimLogFile(file.Get(), limit));
    }
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(folder.Join(L"log.txt"), &bytes));
    return bytes;
}

}  // namespace

TEST(ErrorLogTest, TrimKeepsWholeLinesWithinTheLimit) {
    const struct {
        std::string content;
        DWORD limit;
        std::string kept;
    } cases[] = {
        {"abc\r\ndef\r\n", 100, "abc\r\ndef\r\n"},           // small enough: untouched
        {"abcdef\r\nghijk\r\n", 8, "ghijk\r\n"},             // dropped from the front
        {"abcdef\r\nghijklm\r\n", 9, "ghijklm\r\n"},         // exactly the limit after the cut
        {"abcdef\r\nghijklmnop", 8, ""},                     // no line start fits: emptied
        {"abcdefghij\r\nab\r\n", 5, ""},                     // 4 bytes or fewer remain: emptied
        {"abcdefghij\r\nabc\r\n", 5, "abc\r\n"},             // 5 bytes are kept
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TrimmedContent(c.content, c.limit), c.kept) << c.content;
    }
}

TEST(ErrorLogTest, SeventyThousandBytesAreCutAtALineBoundaryWhenTheNextRecordCloses) {
    CScratchFolder folder;
    const std::string old = NumberedLines(1000);  // 70,000 bytes
    ASSERT_EQ(old.size(), 70000u);
    ASSERT_TRUE(folder.WriteFile(L"errors.log", old));
    const std::wstring path = folder.Join(L"errors.log");
    CScopedComPtr<opLogSys::CLogSysInfo> info(new opLogSys::CLogSysInfo());
    COutputLogSystem system(UniqueLogName().c_str(), info.Get(), path.c_str());
    system.ErrorWrite(7, 0, L"Source.cpp", L"the newest record");

    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(path, &bytes));
    EXPECT_LE(bytes.size(), 65536u);
    EXPECT_GT(bytes.size(), 65536u - 200u);
    EXPECT_EQ(bytes.compare(0, 5, "line "), 0);  // starts with a whole old line
    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().substr(lines.back().find("] ") + 2), "00007:[Source.cpp] the newest record");
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
}

TEST(ErrorLogTest, RecordsCarryTimeAndProcessAndTheFirstRecordHasAHeader) {
    CScratchFolder folder;
    const std::wstring path = folder.Join(L"fresh.log");
    CScopedComPtr<opLogSys::CLogSysInfo> info(new opLogSys::CLogSysInfo());
    COutputLogSystem system(UniqueLogName().c_str(), info.Get(), path.c_str());
    system.ErrorWrite(L"first");
    system.ErrorPrintf(L"second %d", 2);
    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_GE(lines.size(), 2u);
    char pid[16];
    snprintf(pid, sizeof(pid), "][%lX] ", GetCurrentProcessId());
    EXPECT_NE(lines.back().find(pid), std::string::npos);
    EXPECT_EQ(lines.back().substr(lines.back().size() - 8), "second 2");
    EXPECT_EQ(lines[lines.size() - 2].substr(lines[lines.size() - 2].size() - 5), "first");
    EXPECT_EQ(lines.back()[0], '[');
    EXPECT_EQ(lines.back()[20], ']');  // "[yyyy/mm/dd hh:mm:ss]"
}

TEST(ErrorLogTest, EmptyPathWritesNothing) {
    CScratchFolder folder;
    CScopedComPtr<opLogSys::CLogSysInfo> info(new opLogSys::CLogSysInfo());
    COutputLogSystem system(UniqueLogName().c_str(), info.Get(), L"");
    system.ErrorWrite(L"nowhere");
    EXPECT_TRUE(FilesIn(folder.Path()).empty());
}
