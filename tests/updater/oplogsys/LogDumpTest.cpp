#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "updater/oplogsys/LogDump.h"

namespace {

// Keeps the lines a dump writes.
class CCapturingLog : public opLogSys::Common::CReference<opLogSys::ILog> {
public:
    void IncreaseIndent() override {}
    void DecreaseIndent() override {}
    void Write(const wchar_t* text) override { lines.push_back(text); }
    void BeginBatch() override {}
    void EndBatch() override {}
    DWORD GetId() override { return 0; }

    std::vector<std::wstring> lines;
};

}  // namespace

TEST(LogDumpTest, RowsShowHexAndCharacters) {
    CCapturingLog log;
    const unsigned char data[] = {'A', 'b', 0, '\t', 0x7F, '1', '2', '3', '4', 'Z'};
    EXPECT_EQ(opLogSys::WriteDump(&log, L"Reply", data, sizeof(data), 8), S_OK);
    wchar_t del[2] = {};
    const char narrowDel = 0x7F;
    MultiByteToWideChar(CP_ACP, 0, &narrowDel, 1, del, 1);
    const std::vector<std::wstring> expected = {
        L"\x2530",
        L"\x2503[Reply]",
        L"\x2503",
        L"\x2503 00 01 02 03 04 05 06 07 ",
        L"\x2503 " + std::wstring(24, L'-'),
        std::wstring(L"\x2503 41 62 00 09 7F 31 32 33     Ab  ") + del + L"123",
        std::wstring(L"\x2503 34 5A ") + std::wstring(18, L' ') + L"    4Z      ",
        L"\x2538",
    };
    EXPECT_EQ(log.lines, expected);
}

TEST(LogDumpTest, SecondGroupOfEightStartsWithABlank) {
    CCapturingLog log;
    const unsigned char data[16] = {};
    EXPECT_EQ(opLogSys::WriteDump(&log, L"T", data, sizeof(data), 16), S_OK);
    ASSERT_EQ(log.lines.size(), 7u);
    EXPECT_EQ(log.lines[3], L"\x2503 00 01 02 03 04 05 06 07  08 09 0A 0B 0C 0D 0E 0F ");
}

TEST(LogDumpTest, BadArgumentsAreReportedInTheFrame) {
    const unsigned char data[4] = {1, 2, 3, 4};
    const struct {
        const void* data;
        size_t size;
        unsigned perRow;
        HRESULT result;
        const wchar_t* message;
    } cases[] = {
        {nullptr, 4, 8, E_POINTER, L"\x2503" L"Bad read Pointer."},
        {data, 4, 0, E_INVALIDARG, L"\x2503" L"Invalided Parameter : nLineSize == 0 || nLineSize > 64"},
        {data, 4, 65, E_INVALIDARG, L"\x2503" L"Invalided Parameter : nLineSize == 0 || nLineSize > 64"},
    };
    for (const auto& c : cases) {
        CCapturingLog log;
        EXPECT_EQ(opLogSys::WriteDump(&log, L"T", c.data, c.size, c.perRow), c.result);
        EXPECT_EQ(log.lines, (std::vector<std::wstring>{L"\x2530", L"\x2503[T]", c.message, L"\x2538"}));
    }
    CCapturingLog empty;
    EXPECT_EQ(opLogSys::WriteDump(&empty, L"T", data, 0, 4), S_OK);
    EXPECT_EQ(empty.lines.size(), 6u);  // frame, title, blank, two header lines, frame
}
