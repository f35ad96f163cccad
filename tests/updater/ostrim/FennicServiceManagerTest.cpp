#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FennicTestSupport.h"
#include "SimulatedGantrel.h"
#include "updater/ostrim/FennicCommandLineInfo.h"
#include "updater/ostrim/FennicServiceManager.h"
#include "updater/ostrim/GantrelLibrary.h"
#include "updater/ostrim/UpdateClock.h"

namespace {

// A thousand times faster than the wall clock.
class CFastClock : public IUpdateClock {
public:
    void Sleep(DWORD milliseconds) override { ::Sleep(std::max<DWORD>(1, milliseconds / 1000)); }
};

struct ShownMessage {
    std::wstring text;
    std::wstring caption;
    UINT style;
};

class CRecordingManager : public CFennicServiceManager {
public:
    CRecordingManager(HMODULE resources, IUpdateClock& clock) : CFennicServiceManager(resources, clock) {}
    std::vector<ShownMessage> messages;

protected:
    void ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT style) override {
        messages.push_back({text, caption, style});
    }
};

std::wstring Text(HMODULE module, UINT id) {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, length) : std::wstring();
}

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

class FennicServiceManagerTest : public CFennicSuite {
protected:
    void SetUp() override {
        CFennicSuite::SetUp();
        m_resources = LoadLibraryExW(BesideTests(L"FennicHelper_ApplicationRes.dll").c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, m_resources);
        m_manager.reset(new CRecordingManager(m_resources, m_clock));
        ASSERT_EQ(S_OK, m_manager->Init());
    }
    void TearDown() override {
        m_manager.reset();
        if (m_resources) FreeLibrary(m_resources);
        CFennicSuite::TearDown();
    }

    // Runs every group of `arguments` (the program's name is added) and returns each result.
    std::vector<HRESULT> Run(const std::wstring& arguments) {
        m_commandLine.reset(new CFennicCommandLineInfo());
        m_commandLine->ParseCommandLine((L"Ostrim.exe " + arguments).c_str());
        m_manager->SetCommandLine(*m_commandLine);
        std::vector<HRESULT> results;
        for (int group = 0; group < m_commandLine->GroupCount(); ++group) {
            results.push_back(m_manager->Execute(group, m_commandLine->GroupCount()));
        }
        return results;
    }
    std::wstring ApplicationGroup(const wchar_t* reason) const {
        return std::wstring(L"/M ") + reason + L" /C PP001 /S " + Service() + L" /N \"Quill bay\" /E 1.0.0.9 /F UPDATE";
    }
    void UseSimulatedPlayer() { m_manager->Gantrel()->Attach(ResetSimulatedGantrel()); }

    CFastClock m_clock;
    HMODULE m_resources = nullptr;
    std::unique_ptr<CRecordingManager> m_manager;
    std::unique_ptr<CFennicCommandLineInfo> m_commandLine;
};

constexpr wchar_t kFirmwareGroup[] = L"/M AUTO /C PA001 /S TNFW /N \"TORNELLE\" /E 0.00 /F UPDATE";

TEST_F(FennicServiceManagerTest, DeclinedUpdateIsStoredAs35AndShowsNothing) {
    SetScript(L"offer=1.0.0.10;accept=0");
    EXPECT_EQ(std::vector<HRESULT>{static_cast<HRESULT>(0x80042203)}, Run(ApplicationGroup(L"MANUAL")));
    EXPECT_EQ(L"35", ReadValue(StatusKey(Service(), L""), L"LastUpdateStatus"));
    const std::string journal = Journal();
    // The service asked the program whether its version is newer than the installed one.
    EXPECT_NE(std::string::npos, journal.find("event.1 1.0.0.10 1.0.0.9 8 0x00000000")) << journal;
    EXPECT_NE(std::string::npos, journal.find("accepted=0")) << journal;
    EXPECT_EQ(std::string::npos, journal.find("ui.10")) << journal;
    EXPECT_EQ(std::string::npos, journal.find("dl.2")) << journal;
    EXPECT_TRUE(m_manager->messages.empty());
    EXPECT_NE(L"CLOSE", ReadValue(StatusKey(Service(), L""), L"PollingStatus"));
}

TEST_F(FennicServiceManagerTest, DownloadOneByteShortIsStoredAs43AndShown) {
    SetScript(L"offer=1.0.0.10;size=4096;written=4095");
    EXPECT_EQ(std::vector<HRESULT>{static_cast<HRESULT>(0x80044209)}, Run(ApplicationGroup(L"AUTO")));
    EXPECT_EQ(L"43", ReadValue(StatusKey(Service(), L""), L"LastUpdateStatus"));
    const std::string journal = Journal();
    EXPECT_NE(std::string::npos, journal.find("ui.6 " + Narrow(Service()))) << journal;
    // The user was offered the update, so even an automatic run tells about the failure.
    EXPECT_EQ(1u, Count(journal, "ui.10 0x80044209")) << journal;
    EXPECT_NE(std::string::npos, journal.find("info.6 43 " + Narrow(Service()))) << journal;
    EXPECT_EQ(std::string::npos, journal.find("dl.7")) << journal;
    EXPECT_NE(L"CLOSE", ReadValue(StatusKey(Service(), L""), L"PollingStatus"));
}

TEST_F(FennicServiceManagerTest, StoredPollingStatusDecidesWhetherTheServiceIsAsked) {
    struct Case {
        const wchar_t* stored;
        const wchar_t* reason;
        bool asked;
    };
    const Case cases[] = {
        {L"CLOSE", L"AUTO", false}, {L"CLOSE", L"MANUAL", false}, {L"MANUAL", L"AUTO", false},
        {L"MANUAL", L"MANUAL", true}, {L"AUTO", L"AUTO", true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(Narrow(std::wstring(test.stored) + L" " + test.reason));
        WriteValue(StatusKey(Service(), L""), L"PollingStatus", test.stored);
        const size_t before = Count(Journal(), "info.3 ");
        EXPECT_EQ(std::vector<HRESULT>{S_FALSE}, Run(ApplicationGroup(test.reason)));
        EXPECT_EQ(test.asked ? before + 1 : before, Count(Journal(), "info.3 "));
    }
    EXPECT_EQ(std::string::npos, Journal().find("ui.10"));
}

TEST_F(FennicServiceManagerTest, NoUpdateNoticeOnceAfterTheLastGroupOfAManualRun) {
    SetScript(L"");
    const std::wstring second = L" /C PP001 /S " + Service() + L"2 /N Other /E 2.0.0.0 /F UPDATE";
    EXPECT_EQ((std::vector<HRESULT>{S_FALSE, S_FALSE}), Run(ApplicationGroup(L"MANUAL") + second));
    const std::string journal = Journal();
    EXPECT_EQ(1u, Count(journal, "ui.9"));
    EXPECT_GT(journal.find("ui.9"), journal.rfind("info.3 ")) << journal;
    RemoveService(Service() + L"2");
}

TEST_F(FennicServiceManagerTest, TimeScaledFirmwareUpdateSucceeds) {
    UseSimulatedPlayer();
    Sim().versionOrder = 2;
    Sim().leaveAfterPolls = 1;
    Sim().returns = [](int poll) { return poll > 20; };
    SetScript(L"offer=1.10;size=4194304");
    EXPECT_EQ(std::vector<HRESULT>{S_OK}, Run(kFirmwareGroup));
    const std::wstring key = StatusKey(kSimulatedModelKey, SimulatedPlayer(L"").serial);
    EXPECT_EQ(L"00", ReadValue(key, L"LastUpdateStatus"));
    EXPECT_EQ(L"CLOSE", ReadValue(key, L"PollingStatus"));
    const std::string journal = Journal();
    // The service hears the player's model, firmware and serial, not the command line's.
    EXPECT_NE(std::string::npos, journal.find("info.3 OstrimSimulatedModel name=TORNELLET1 code=PA001 version=1.00")) << journal;
    EXPECT_NE(std::string::npos, journal.find("name=TORNELLE player")) << journal;
    EXPECT_NE(std::string::npos, journal.find("ui.15 100 OstrimSimulatedModel")) << journal;
    EXPECT_NE(std::string::npos, journal.find("ui.16 OstrimSimulatedModel")) << journal;
    EXPECT_NE(std::string::npos, journal.find("ui.12 TORNELLET1 OstrimSimulatedModel")) << journal;
    EXPECT_EQ(std::string::npos, journal.find("ui.10")) << journal;
    EXPECT_TRUE(Sim().commandSent);
    EXPECT_EQ(1, Sim().deleteCalls);
    EXPECT_TRUE(m_manager->messages.empty());
}

TEST_F(FennicServiceManagerTest, PlayerThatNeverLeavesGives80041211AndMessage2005) {
    UseSimulatedPlayer();
    Sim().versionOrder = 2;
    Sim().leaveAfterPolls = 1000;
    SetScript(L"offer=1.10");
    EXPECT_EQ(std::vector<HRESULT>{static_cast<HRESULT>(0x80041211)}, Run(kFirmwareGroup));
    ASSERT_EQ(1u, m_manager->messages.size());
    EXPECT_EQ(Text(m_resources, 2005), m_manager->messages[0].text);
    EXPECT_EQ(Text(m_resources, 102), m_manager->messages[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), m_manager->messages[0].style);
    EXPECT_EQ(L"50", ReadValue(StatusKey(kSimulatedModelKey, SimulatedPlayer(L"").serial), L"LastUpdateStatus"));
    const std::string journal = Journal();
    // A failed update ends the display without a full bar.
    EXPECT_EQ(std::string::npos, journal.find("ui.15 100")) << journal;
    EXPECT_NE(std::string::npos, journal.find("ui.16")) << journal;
    EXPECT_EQ(1, Sim().deleteCalls);
}

TEST_F(FennicServiceManagerTest, WithoutTheFirmwareLibraryOnlyThePlayerGroupFails) {
    m_manager->Gantrel()->Unload();
    SetScript(L"");
    const std::wstring line = std::wstring(L"/M MANUAL /C PA001 /S TNFW /N \"TORNELLE\" /E 0.00 /F UPDATE") +
                              L" /C PP001 /S " + Service() + L" /N App /E 1.0.0.9 /F UPDATE";
    EXPECT_EQ((std::vector<HRESULT>{E_HANDLE, S_FALSE}), Run(line));
    const std::string journal = Journal();
    EXPECT_NE(std::string::npos, journal.find("info.3 " + Narrow(Service()))) << journal;
    EXPECT_EQ(1u, Count(journal, "info.3 ")) << journal;
    // The general failure text, with the result in it, in the manual run.
    ASSERT_EQ(1u, m_manager->messages.size());
    EXPECT_NE(std::wstring::npos, m_manager->messages[0].text.find(L"0x80070006")) << Narrow(m_manager->messages[0].text);
    // The message box told the user already: the component's error display stays closed.
    EXPECT_EQ(std::string::npos, journal.find("ui.10")) << journal;
    RemoveService(L"TNFW");
}

TEST_F(FennicServiceManagerTest, CancelledDownloadIsStoredAs45) {
    SetScript(L"offer=1.0.0.10;cancel=1;step=1");
    EXPECT_EQ(std::vector<HRESULT>{kDownloadCancelled}, Run(ApplicationGroup(L"MANUAL")));
    EXPECT_EQ(L"45", ReadValue(StatusKey(Service(), L""), L"LastUpdateStatus"));
    const std::string journal = Journal();
    EXPECT_NE(std::string::npos, journal.find("dl.3")) << journal;
    // The cancelled display is not closed by the worker.
    EXPECT_EQ(std::string::npos, journal.find("ui.6")) << journal;
}

TEST_F(FennicServiceManagerTest, HashMismatchGives8004420A) {
    // One read completes the download: the worker may close the display before the wait begins.
    SetScript(L"offer=1.0.0.10;hash=0;step=100");
    EXPECT_EQ(std::vector<HRESULT>{static_cast<HRESULT>(0x8004420A)}, Run(ApplicationGroup(L"AUTO")));
    EXPECT_EQ(L"44", ReadValue(StatusKey(Service(), L""), L"LastUpdateStatus"));
}

TEST_F(FennicServiceManagerTest, RecordedNothingToDoFromTheServiceIsStoredAs11AndNotShown) {
    SetScript(L"fail=info.3:0x80044202");
    EXPECT_EQ(std::vector<HRESULT>{S_FALSE}, Run(ApplicationGroup(L"MANUAL")));
    EXPECT_EQ(L"11", ReadValue(StatusKey(Service(), L""), L"LastUpdateStatus"));
    EXPECT_EQ(std::string::npos, Journal().find("ui.10"));
}

TEST_F(FennicServiceManagerTest, ServicePollingFlagsDecideTheNextRun) {
    SetScript(L"pollingSet=1;pollingManual=1");
    EXPECT_EQ(std::vector<HRESULT>{S_FALSE}, Run(ApplicationGroup(L"AUTO")));
    EXPECT_EQ(L"MANUAL", ReadValue(StatusKey(Service(), L""), L"PollingStatus"));
    SetScript(L"pollingSet=1;pollingManual=0");
    EXPECT_EQ(std::vector<HRESULT>{S_FALSE}, Run(ApplicationGroup(L"MANUAL")));
    EXPECT_EQ(L"AUTO", ReadValue(StatusKey(Service(), L""), L"PollingStatus"));
}

TEST_F(FennicServiceManagerTest, TwoPlayersAreToldOnlyInAManualRun) {
    struct Case {
        const wchar_t* reason;
        size_t messages;
    };
    for (const Case& test : {Case{L"MANUAL", 1}, Case{L"AUTO", 0}}) {
        SCOPED_TRACE(Narrow(test.reason));
        UseSimulatedPlayer();
        Sim().playersBeforeCommand = 2;
        m_manager->messages.clear();
        EXPECT_EQ(std::vector<HRESULT>{static_cast<HRESULT>(0x80040202)},
                  Run(std::wstring(L"/M ") + test.reason + L" /C PA001 /S TNFW /N \"TORNELLE\" /E 0.00 /F UPDATE"));
        ASSERT_EQ(test.messages, m_manager->messages.size());
        if (test.messages != 0) {
            EXPECT_EQ(Text(m_resources, 2003), m_manager->messages[0].text);
            EXPECT_EQ(static_cast<UINT>(MB_OK), m_manager->messages[0].style);
        }
    }
    const std::string journal = Journal();
    EXPECT_EQ(std::string::npos, journal.find("info.3 ")) << journal;
    EXPECT_EQ(std::string::npos, journal.find("ui.10")) << journal;
    RemoveService(L"TNFW");
}

TEST_F(FennicServiceManagerTest, AcceptedReportOnlyUpdateIsMarkedEndedAndNotDownloaded) {
    // Report-only groups take whatever the service has, even an older version.
    SetScript(L"offer=1.0.0.1");
    EXPECT_EQ(std::vector<HRESULT>{S_OK},
              Run(L"/M MANUAL /C PP001 /S " + Service() + L" /E 1.0.0.9 /F INFO"));
    EXPECT_EQ(L"", ReadValue(std::wstring(CFennicServiceManager::kEndKey) + L"\\" + Service(), nullptr));
    EXPECT_EQ(L"<missing>", ReadValue(StatusKey(Service(), L""), L"LastUpdateStatus"));
    const std::string journal = Journal();
    EXPECT_NE(std::string::npos, journal.find("size=0 reportOnly=1 accepted=1")) << journal;
    EXPECT_EQ(std::string::npos, journal.find("dl.2")) << journal;
}

TEST_F(FennicServiceManagerTest, UnavailableServiceIsShownOncePerRun) {
    SetScript(L"fail=info.3:0x80043302");
    const std::wstring second = L" /C PP001 /S " + Service() + L"2 /N Other /E 2.0.0.0 /F UPDATE";
    const HRESULT unavailable = static_cast<HRESULT>(0x80043302);
    EXPECT_EQ((std::vector<HRESULT>{unavailable, unavailable}), Run(ApplicationGroup(L"MANUAL") + second));
    const std::string journal = Journal();
    EXPECT_EQ(1u, Count(journal, "ui.10 0x80043302")) << journal;
    EXPECT_EQ(std::string::npos, journal.find("dl.5")) << journal;
    RemoveService(Service() + L"2");
}

TEST_F(FennicServiceManagerTest, InstallerThatCannotBeOpenedGives80041701) {
    SetScript(L"offer=1.0.0.10;ext=.ostrimnoassociation");
    EXPECT_EQ(std::vector<HRESULT>{static_cast<HRESULT>(0x80041701)}, Run(ApplicationGroup(L"AUTO")));
    EXPECT_EQ(L"50", ReadValue(StatusKey(Service(), L""), L"LastUpdateStatus"));
    const std::string journal = Journal();
    EXPECT_NE(std::string::npos, journal.find("dl.7 sha1:standin 1")) << journal;
    EXPECT_EQ(1u, Count(journal, "ui.10 0x80041701")) << journal;
}

TEST_F(FennicServiceManagerTest, PlayerBackWithAnotherVersionGives80041211) {
    UseSimulatedPlayer();
    Sim().versionOrder = 2;
    Sim().leaveAfterPolls = 1;
    Sim().returns = [](int poll) { return poll > 3; };
    // The player comes back with 1.10, the service offered 1.20.
    SetScript(L"offer=1.20");
    EXPECT_EQ(std::vector<HRESULT>{static_cast<HRESULT>(0x80041211)}, Run(kFirmwareGroup));
    ASSERT_EQ(1u, m_manager->messages.size());
    EXPECT_EQ(Text(m_resources, 2005), m_manager->messages[0].text);
    // The firmware update itself went through: the display ended full.
    EXPECT_NE(std::string::npos, Journal().find("ui.15 100"));
    EXPECT_NE(L"CLOSE", ReadValue(StatusKey(kSimulatedModelKey, SimulatedPlayer(L"").serial), L"PollingStatus"));
}

TEST_F(FennicServiceManagerTest, InitFailsWithoutTheComponents) {
    SetComponentsRegistered(false);
    CRecordingManager manager(m_resources, m_clock);
    const HRESULT hr = manager.Init();
    SetComponentsRegistered(true);
    EXPECT_EQ(REGDB_E_CLASSNOTREG, hr);
    // Term after a failed Init releases whatever was made.
    manager.Term();
    EXPECT_EQ(nullptr, manager.Gantrel());
}

}  // namespace
