// The update checker's automatic start and its command line, and the setup wizard's start.
#include "tests/app/coordinator/CoordinatorTestSupport.h"

#include "library/util/ModuleFolder.h"
#include "library/util/Settings.h"

namespace {

// Today for the update check: 2026-03-20 at 23:00, local time.
SYSTEMTIME TestNow() {
    SYSTEMTIME now = {};
    now.wYear = 2026;
    now.wMonth = 3;
    now.wDay = 20;
    now.wHour = 23;
    return now;
}

SYSTEMTIME TestNowMidday() {
    SYSTEMTIME now = TestNow();
    now.wHour = 12;
    return now;
}

DATE Day(int year, int month, int day) {
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    DATE date = 0;
    SystemTimeToVariantTime(&time, &date);
    return date;
}

const wchar_t kExpectedTail[] =
    L"200,266 /C PA001 /S TNFW /N \"TORNELLE\" /E 0.00 /F UPDATE /C PP001 /S QV /N \"Quillbay\" /E 2.1.0.7 /F UPDATE";

}  // namespace

class AutoUpdateTest : public CoordinatorTest {
protected:
    void SetUp() override {
        CoordinatorTest::SetUp();
        coordinator_->SetClock(TestNow);
        ASSERT_TRUE(DeleteSetting(L"AutoUpdate"));
    }
    static bool DeleteSetting(const wchar_t* name) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Tavrel Corporation\\Quillbay", 0, KEY_SET_VALUE, &key) !=
            ERROR_SUCCESS) {
            return true;
        }
        const LONG result = RegDeleteValueW(key, name);
        RegCloseKey(key);
        return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    }
};

TEST_F(AutoUpdateTest, StartsTheCheckerWhenTheIntervalHasPassed) {
    struct Case {
        const char* name;
        int autoUpdate;  // -1: missing
        int mode;        // -1: missing
        DATE last;       // 0: missing
        bool starts;
    };
    const Case cases[] = {
        {"weekly by default: 6 days 23 hours", -1, -1, Day(2026, 3, 14), false},
        {"weekly by default: 7 days", -1, -1, Day(2026, 3, 13), true},
        {"no earlier check", -1, -1, 0, true},
        {"switched off", 0, -1, 0, false},
        {"switched off, weeks old", 0, 1, Day(2025, 1, 1), false},
        {"on explicitly", 1, -1, Day(2026, 3, 13), true},
        {"any other switch value is off", 2, 0, 0, false},
        {"every check", -1, 0, Day(2026, 3, 20), true},
        {"daily, same day", -1, 1, Day(2026, 3, 20), false},
        {"daily, the day before", -1, 1, Day(2026, 3, 19), true},
        {"unknown mode is weekly", -1, 9, Day(2026, 3, 14), false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ASSERT_TRUE(DeleteSetting(L"AutoUpdate"));
        ASSERT_TRUE(DeleteSetting(L"AutoUpdatemode"));
        if (test.autoUpdate >= 0) SetSetting(L"AutoUpdate", static_cast<DWORD>(test.autoUpdate));
        if (test.mode >= 0) SetSetting(L"AutoUpdatemode", static_cast<DWORD>(test.mode));
        if (test.last != 0) {
            ASSERT_TRUE(WriteLastUpdateDate(test.last, false));
        } else {
            for (const wchar_t* name : {L"LastUpdateYear", L"LastUpdateMonth", L"LastUpdateDay"}) {
                ASSERT_TRUE(DeleteSetting(name));
            }
        }
        launcher_.launches.clear();
        coordinator_->CheckAutoUpdate();
        ASSERT_EQ(test.starts ? 1u : 0u, launcher_.launches.size());
        if (test.starts) {
            EXPECT_EQ(0u, launcher_.launches[0].parameters.find(L"/M AUTO /B "));
            // The date of the start is stored: a second check the same day starts nothing more
            // unless the mode is "every check".
            EXPECT_DOUBLE_EQ(Day(2026, 3, 20), ReadLastUpdateDate().value);
        }
    }
}

TEST_F(AutoUpdateTest, OneMissingDateFieldCountsAsNoEarlierCheck) {
    ASSERT_TRUE(WriteLastUpdateDate(Day(2026, 3, 20), false));
    ASSERT_TRUE(DeleteSetting(L"LastUpdateMonth"));
    coordinator_->SetClock(TestNowMidday);
    coordinator_->CheckAutoUpdate();
    EXPECT_EQ(1u, launcher_.launches.size());
}

TEST_F(AutoUpdateTest, UpdaterCommandLine) {
    SetSetting(L"WinPosX", 120);
    SetSetting(L"WinPosY", 45);
    coordinator_->LaunchUpdateChecker(false);
    launcher_.result = 2;  // a failed start still stores the date
    coordinator_->LaunchUpdateChecker(true);
    ASSERT_EQ(2u, launcher_.launches.size());
    const std::wstring program = GetModuleFolder() + L"UpdateChecker\\Ostrim.exe";
    EXPECT_EQ(program, launcher_.launches[0].program);
    EXPECT_EQ(std::wstring(L"/M MANUAL /B 120,45,") + kExpectedTail, launcher_.launches[0].parameters);
    EXPECT_EQ(std::wstring(L"/M AUTO /B 120,45,") + kExpectedTail, launcher_.launches[1].parameters);
    EXPECT_EQ(SW_HIDE, launcher_.launches[0].showCommand);
    EXPECT_DOUBLE_EQ(Day(2026, 3, 20), ReadLastUpdateDate().value);
}

TEST_F(AutoUpdateTest, DeviceCheckWithAPlayerRunsTheAutomaticCheck) {
    ConnectPlayer(CapabilityDocument({"mp3", "", "", "", "", false, "", false}));
    ASSERT_EQ(1u, launcher_.launches.size());
    SetSetting(L"AutoUpdate", 0);
    coordinator_->OnDeviceStateChanged();  // unplugged
    ConnectPlayer(CapabilityDocument({"mp3", "", "", "", "", false, "", false}));
    EXPECT_EQ(1u, launcher_.launches.size());
}

TEST_F(CoordinatorTest, LaunchSetupReportsTheShellsAnswer) {
    EXPECT_TRUE(coordinator_->LaunchSetup());
    ASSERT_EQ(1u, launcher_.launches.size());
    EXPECT_EQ(GetModuleFolder() + L"HalvixSetup.exe", launcher_.launches[0].program);
    EXPECT_EQ(L"-WithoutMutexCheck", launcher_.launches[0].parameters);
    EXPECT_EQ(SW_HIDE, launcher_.launches[0].showCommand);
    for (INT_PTR failure : {0, 2, 32}) {
        launcher_.result = failure;
        EXPECT_FALSE(coordinator_->LaunchSetup());
    }
}
