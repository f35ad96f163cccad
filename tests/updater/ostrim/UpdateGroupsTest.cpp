#include <gtest/gtest.h>

#include <windows.h>

#include <sstream>
#include <string>

#include "updater/ostrim/FennicCommandLineInfo.h"
#include "updater/ostrim/UpdateGroups.h"
#include "updater/ostrim/UpdateService.h"

namespace {

// Writes each call as a word: "init set exec0/2 error80042301 term".
class CRecordingService : public IUpdateService {
public:
    HRESULT Init() override {
        log << "init";
        return initResult;
    }
    void SetCommandLine(const CFennicCommandLineInfo& info) override {
        log << " set";
        seen = &info;
    }
    HRESULT Execute(int group, int groupCount) override {
        log << " exec" << group << "/" << groupCount;
        return E_FAIL;  // a failing group must not stop the next one
    }
    void ShowError(HRESULT hr) override { log << " error" << std::hex << static_cast<unsigned long>(hr) << std::dec; }
    void Term() override { log << " term"; }

    HRESULT initResult = S_OK;
    const CFennicCommandLineInfo* seen = nullptr;
    std::ostringstream log;
};

struct RunCase {
    const wchar_t* commandLine;
    HRESULT initResult;
    HRESULT expected;
    const char* calls;
};

const RunCase kCases[] = {
    {L"o.exe /M AUTO /C PA001 /S TNFW /C PP001 /S QV", S_OK, S_OK, "init set exec0/2 exec1/2 term"},
    {L"o.exe /M MANUAL", S_OK, S_OK, "init set error80042301 term"},
    {L"o.exe /M manual", S_OK, S_OK, "init set error80042301 term"},
    {L"o.exe /M AUTO", S_OK, S_OK, "init set term"},
    {L"o.exe /m MANUAL", S_OK, S_OK, "init set term"},
    {L"o.exe", S_OK, S_OK, "init set term"},
    {L"o.exe /M MANUAL /B 1,2,200,266 /C PP001", S_OK, S_OK, "init set exec0/1 term"},
    {L"o.exe /M MANUAL /C PP001", REGDB_E_CLASSNOTREG, REGDB_E_CLASSNOTREG, "init"},
};

TEST(UpdateGroupsTest, EveryGroupRunsInOrder) {
    for (const RunCase& c : kCases) {
        SCOPED_TRACE(testing::Message() << std::string(c.commandLine, c.commandLine + wcslen(c.commandLine)));
        CFennicCommandLineInfo info;
        info.ParseCommandLine(c.commandLine);
        CRecordingService service;
        service.initResult = c.initResult;
        EXPECT_EQ(c.expected, RunUpdateGroups(service, info));
        EXPECT_EQ(c.calls, service.log.str());
        if (SUCCEEDED(c.initResult)) {
            EXPECT_EQ(&info, service.seen);
        }
    }
}

}  // namespace
