// A Windows user's first start wipes that user's settings and work files once: every later start
// keeps what the user set since, also for a standard user who cannot write the machine's key.

#include <gtest/gtest.h>

#include <windows.h>

#include "app/main/FirstRunReset.h"
#include "library/util/SettingsTestSeam.h"
#include "tests/util/UtilTestSupport.h"

namespace {

const wchar_t kProductKey[] = L"Software\\Tavrel Corporation\\Quillbay";

void PutSetting(const wchar_t* name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
}

// The user's setting, or -1 when it is missing.
long long UserSetting(const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, kProductKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS) {
        return -1;
    }
    return value;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Parameter: whether this user can write under HKEY_LOCAL_MACHINE.
class FirstRunResetTest : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        ASSERT_TRUE(registry_.IsActive());
        SetMachineSettingsWritableForTest(GetParam());
    }
    void TearDown() override { SetMachineSettingsWritableForTest(true); }

    CScratchRegistry registry_;
    CScratchFolder dataFolder_;
};

TEST_P(FirstRunResetTest, TheFirstStartWipesTheUsersSettingsAndWorkFilesOnceAndOnlyOnce) {
    PutSetting(L"AutoUpdatemode", 5);
    ASSERT_TRUE(dataFolder_.WriteFile(L"left.txt", "x"));
    ASSERT_TRUE(dataFolder_.WriteFile(L"PLAYER1\\cover.jpg", "x"));
    ASSERT_TRUE(dataFolder_.WriteFile(L"song.mp3", "x"));

    EXPECT_TRUE(ResetUserAtFirstRun(dataFolder_.Path()));
    EXPECT_EQ(-1, UserSetting(L"AutoUpdatemode"));
    EXPECT_FALSE(Exists(dataFolder_.Join(L"left.txt")));
    EXPECT_FALSE(Exists(dataFolder_.Join(L"PLAYER1")));
    // Only work files go.
    EXPECT_TRUE(Exists(dataFolder_.Join(L"song.mp3")));

    // What the user sets from now on stays, start after start.
    PutSetting(L"AutoUpdatemode", 7);
    ASSERT_TRUE(dataFolder_.WriteFile(L"PLAYER1\\cover.jpg", "x"));
    for (int start = 2; start <= 4; ++start) {
        SCOPED_TRACE(start);
        EXPECT_FALSE(ResetUserAtFirstRun(dataFolder_.Path()));
        EXPECT_EQ(7, UserSetting(L"AutoUpdatemode"));
        EXPECT_TRUE(Exists(dataFolder_.Join(L"PLAYER1\\cover.jpg")));
    }
}

INSTANTIATE_TEST_SUITE_P(MachineKey, FirstRunResetTest, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "Writable" : "ClosedToTheUser";
                         });

}  // namespace
