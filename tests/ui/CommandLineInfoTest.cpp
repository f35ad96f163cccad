#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/ui/UiCommandLineInfo.h"

namespace {

// Records each call as "param|flag|last;" after the base has seen it.
class CRecordingCommandLineInfo : public CUiCommandLineInfo {
public:
    void ParseParam(const wchar_t* param, BOOL isFlag, BOOL isLast) override {
        calls += std::wstring(param) + L"|" + (isFlag ? L"flag" : L"param") + (isLast ? L"|last;" : L";");
        CUiCommandLineInfo::ParseParam(param, isFlag, isLast);
    }
    std::wstring calls;
};

using Shell = CUiCommandLineInfo::ShellCommand;

struct CommandLineCase {
    const wchar_t* commandLine;
    const wchar_t* calls;
    bool embedded;
    bool automated;
    Shell shell;
    const wchar_t* fileName;
};

const CommandLineCase kCases[] = {
    {L"prog.exe", L"", false, false, Shell::kNone, L""},
    {L"prog.exe -s", L"s|flag|last;", false, false, Shell::kNone, L""},
    {L"\"C:\\Program Files\\Q\\prog.exe\" /Embedding", L"Embedding|flag|last;", true, false, Shell::kNone, L""},
    {L"prog.exe -Automation file.txt", L"Automation|flag;file.txt|param|last;", false, true, Shell::kNone,
     L"file.txt"},
    {L"prog.exe /RegServer", L"RegServer|flag|last;", false, false, Shell::kRegServer, L""},
    {L"prog.exe -unregserver", L"unregserver|flag|last;", false, false, Shell::kUnregServer, L""},
    {L"prog.exe /Unregister", L"Unregister|flag|last;", false, false, Shell::kUnregServer, L""},
    {L"prog.exe \"a b.txt\" -x c.txt", L"a b.txt|param;x|flag;c.txt|param|last;", false, false, Shell::kNone,
     L"a b.txt"},
    {L"prog.exe /C 12 /X", L"C|flag;12|param;X|flag|last;", false, false, Shell::kNone, L"12"},
    {L"prog.exe - /", L"|flag;|flag|last;", false, false, Shell::kNone, L""},
    {L"prog.exe --s", L"-s|flag|last;", false, false, Shell::kNone, L""},
    {L"prog.exe /Embeddingx", L"Embeddingx|flag|last;", false, false, Shell::kNone, L""},
};

}  // namespace

TEST(CommandLineInfoTest, EachArgumentIsSplitIntoFlagOrParameterWithTheLastMarked) {
    for (const CommandLineCase& test : kCases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(test.commandLine)));
        CRecordingCommandLineInfo info;
        info.ParseCommandLine(test.commandLine);
        EXPECT_EQ(info.calls, test.calls);
        EXPECT_EQ(info.runEmbedded, test.embedded);
        EXPECT_EQ(info.runAutomated, test.automated);
        EXPECT_EQ(info.shellCommand, test.shell);
        EXPECT_EQ(info.fileName, test.fileName);
    }
}

TEST(CommandLineInfoTest, AnEmptyOrMissingCommandLineCallsNothing) {
    CRecordingCommandLineInfo info;
    info.ParseCommandLine(L"");
    info.ParseCommandLine(nullptr);
    EXPECT_EQ(info.calls, L"");
}
