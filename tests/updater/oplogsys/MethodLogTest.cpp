#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <thread>

#include "tests/updater/oplogsys/LogTestSupport.h"
#include "updater/oplogsys/MethodLog.h"

using namespace oplogtest;
using opLogSys::COutputLogSystem;
using opLogSys::Fmt::CMethodLog;

namespace {

// "[thread id][yyyy/mm/dd(hh:mm:ss.mmm)]" and the rest of the line.
const std::regex kLine(R"(^\[([0-9A-F]{8})\]\[\d{4}/\d{2}/\d{2}\(\d{2}:\d{2}:\d{2}\.\d{3}\)\](.*)$)");

struct CLoggedLine {
    std::string thread;
    std::string text;
};

std::vector<CLoggedLine> ParseLog(const std::wstring& path) {
    std::vector<CLoggedLine> parsed;
    for (const std::string& line : ReadLines(path)) {
        std::smatch match;
        EXPECT_TRUE(std::regex_match(line, match, kLine)) << line;
        if (!match.empty()) parsed.push_back({match[1].str(), match[2].str()});
    }
    return parsed;
}

class MethodLogTest : public ::testing::Test {
protected:
    COutputLogSystem* MakeSystem(int minLevel, int maxLevel) {
        CScopedComPtr<opLogSys::CLogSysInfo> info(MakeFileConfiguration(folder_.Path(), minLevel, maxLevel));
        system_ = std::make_unique<COutputLogSystem>(UniqueLogName().c_str(), info.Get(), L"");
        return system_.get();
    }

    CScratchFolder folder_;
    std::unique_ptr<COutputLogSystem> system_;
};

HRESULT Inner(COutputLogSystem* system) {
    HRESULT hr = 3;
    CMethodLog<HRESULT> log(system, L"CFennicServiceManager::Inner", &hr);
    log.Printf(L"hr 0x%x", 0x80004005u);
    return hr;
}

HRESULT Middle(COutputLogSystem* system) {
    HRESULT hr = S_OK;
    CMethodLog<HRESULT> log(system, L"CFennicServiceManager::Middle", &hr);
    log.Write(L"before");
    hr = Inner(system);
    hr = E_FAIL;
    return hr;
}

HRESULT Outer(COutputLogSystem* system) {
    HRESULT hr = S_OK;
    CMethodLog<HRESULT> log(system, L"CFennicServiceManager::Execute", &hr);
    hr = Middle(system);
    return hr;
}

}  // namespace

TEST_F(MethodLogTest, NestedMethodsWriteEntryBarsAndLeavingLines) {
    Outer(MakeSystem(0, 9));
    const std::vector<std::wstring> files = FilesIn(folder_.Path());
    ASSERT_EQ(files.size(), 1u);
    const std::vector<CLoggedLine> lines = ParseLog(files[0]);
    const std::vector<std::wstring> expected = {
        L"\x250C CFennicServiceManager::Execute()",
        L"\x2502\x250C CFennicServiceManager::Middle()",
        L"\x2502\x2502 before",
        L"\x2502\x2502\x250C CFennicServiceManager::Inner()",
        L"\x2502\x2502\x2502 hr 0x80004005",
        L"\x2502\x2502\x2514 CFennicServiceManager::Inner() : return 0x00000003 [3]",
        L"\x2502\x2514 CFennicServiceManager::Middle() : return 0x80004005 [-2147467259]",
        L"\x2514 CFennicServiceManager::Execute() : return 0x80004005 [-2147467259]",
    };
    ASSERT_EQ(lines.size(), expected.size());
    char thread[16];
    snprintf(thread, sizeof(thread), "%08lX", GetCurrentThreadId());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(lines[i].text, Ansi(expected[i])) << i;
        EXPECT_EQ(lines[i].thread, thread);
    }
}

TEST_F(MethodLogTest, LevelsOutsideTheFilterWriteNothing) {
    // Method logs run at level 1: a filter from level 2 disables them, so no file is made at all.
    COutputLogSystem* system = MakeSystem(2, 9);
    Outer(system);
    EXPECT_TRUE(FilesIn(folder_.Path()).empty());
}

TEST_F(MethodLogTest, OnlyAdmittedLevelsAreWrittenInsideAMethod) {
    COutputLogSystem* system = MakeSystem(0, 1);
    {
        HRESULT hr = S_OK;
        CMethodLog<HRESULT> log(system, L"M", &hr);
        log.Write(1, L"one");
        log.Write(2, L"two");
        log.Printf(5, L"%ls", L"five");
    }
    const std::vector<std::wstring> files = FilesIn(folder_.Path());
    ASSERT_EQ(files.size(), 1u);
    const std::vector<CLoggedLine> lines = ParseLog(files[0]);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].text, Ansi(L"\x2502 one"));
}

TEST_F(MethodLogTest, DeepNestingShowsAtMostSixtyThreeBars) {
    COutputLogSystem* system = MakeSystem(0, 9);
    CScopedComPtr<opLogSys::ILog> log(opLogSys::GetThreadLog(system, system->Name().c_str()));
    for (int i = 0; i < 80; ++i) log->IncreaseIndent();
    log->Write(L"deep");
    for (int i = 0; i < 200; ++i) log->DecreaseIndent();
    log->IncreaseIndent();
    log->Write(L"flat");
    const std::vector<CLoggedLine> lines = ParseLog(FilesIn(folder_.Path()).at(0));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, Ansi(std::wstring(63, L'\x2502') + L"deep"));
    // Never below 0: one level up is again the first level, which has no bar.
    EXPECT_EQ(lines[1].text, "flat");
}

TEST_F(MethodLogTest, ThreadsGetTheirOwnIdsAndWholeLines) {
    COutputLogSystem* system = MakeSystem(0, 9);
    constexpr int kLines = 400;
    auto writer = [system](const wchar_t* tag) {
        for (int i = 0; i < kLines; ++i) system->Printf(L"%ls line %d with some text to widen the race", tag, i);
    };
    std::thread first(writer, L"first");
    std::thread second(writer, L"second");
    first.join();
    second.join();
    const std::vector<CLoggedLine> lines = ParseLog(FilesIn(folder_.Path()).at(0));
    ASSERT_EQ(lines.size(), 2u * kLines);
    std::set<std::string> threads;
    std::map<std::string, int> counts;
    const std::regex text(R"(^(first|second) line \d+ with some text to widen the race$)");
    for (const CLoggedLine& line : lines) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line.text, match, text)) << line.text;
        threads.insert(line.thread);
        ++counts[match[1].str() + "@" + line.thread];
    }
    EXPECT_EQ(threads.size(), 2u);
    ASSERT_EQ(counts.size(), 2u);  // each tag always under one and the same id
    for (const auto& count : counts) EXPECT_EQ(count.second, kLines);
}
