#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "FennicTestSupport.h"
#include "library/util/ScopedWin.h"
#include "updater/ostrim/InstanceMutex.h"

namespace {

// Generous: many programs may start at once under one Wine server on a small machine.
constexpr DWORD kProgramLimitMs = 120000;

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

class OstrimProgramTest : public CFennicSuite {
protected:
    void TearDown() override {
        RemoveService(L"QV");
        RemoveService(L"TNFW");
        CFennicSuite::TearDown();
    }

    // Runs the built program with `arguments` as Quillbay would (hidden) and returns its exit code;
    // the program is ended by the test when it overruns.
    DWORD RunOstrim(const std::wstring& arguments) {
        const std::wstring program = BesideTests(L"Ostrim.exe");
        std::wstring commandLine = L"\"" + program + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            ADD_FAILURE() << "Ostrim.exe did not start: " << GetLastError();
            return ~0u;
        }
        CScopedHandle thread(process.hThread);
        CScopedHandle handle(process.hProcess);
        if (WaitForSingleObject(handle.Get(), kProgramLimitMs) != WAIT_OBJECT_0) {
            TerminateProcess(handle.Get(), 1);
            WaitForSingleObject(handle.Get(), kProgramLimitMs);
            ADD_FAILURE() << "Ostrim.exe did not end";
            return ~0u;
        }
        DWORD code = ~0u;
        GetExitCodeProcess(handle.Get(), &code);
        return code;
    }
};

TEST_F(OstrimProgramTest, QuillbaysCommandLineRunsThePlayerAndTheApplicationGroup) {
    SetScript(L"");
    EXPECT_EQ(0u, RunOstrim(L"/M AUTO /B 10,20,200,266 /C PA001 /S TNFW /N \"TORNELLE\" /E 0.00 /F UPDATE "
                            L"/C PP001 /S QV /N \"Quillbay\" /E 1.0.3.7 /F UPDATE"));
    const std::string journal = Journal();
    // The application group reached the service with its own values, the quotes gone.
    EXPECT_EQ(1u, Count(journal, "info.1 manual=0 QV")) << journal;
    EXPECT_EQ(1u, Count(journal, "info.3 QV name=Quillbay code=PP001 version=1.0.3.7 instance= last=00")) << journal;
    // No player is connected here: the player group ends before the service is asked, silently
    // in an automatic run, and the application group still runs.
    EXPECT_EQ(1u, Count(journal, "info.3 ")) << journal;
    EXPECT_EQ(std::string::npos, journal.find("ui.")) << journal;
    // The player group ran first and reported its failure under the firmware service.
    EXPECT_EQ(1u, Count(journal, "info.6 90 TNFW ")) << journal;
    EXPECT_LT(journal.find("info.6 90 TNFW "), journal.find("info.1 manual=0 QV")) << journal;
}

TEST_F(OstrimProgramTest, SecondInstanceExitsAtOnceWithoutShowingAnything) {
    SetScript(L"");
    {
        // A running checker holds the machine-wide name.
        CScopedHandle running(CreateMutexW(nullptr, FALSE, CInstanceMutex::kName));
        ASSERT_TRUE(running.IsValid());
        EXPECT_EQ(0u, RunOstrim(L"/M MANUAL"));
        EXPECT_EQ("", Journal());
    }
    // Alone, the same manual run without a product tells the user the command line was wrong.
    EXPECT_EQ(0u, RunOstrim(L"/M MANUAL"));
    EXPECT_EQ("ui.10 0x80042301\n", Journal());
}

TEST_F(OstrimProgramTest, LowerCaseFlagSelectsNothingAndTheRunStaysSilent) {
    SetScript(L"");
    EXPECT_EQ(0u, RunOstrim(L"/m MANUAL"));
    EXPECT_EQ("", Journal());
}

}  // namespace
