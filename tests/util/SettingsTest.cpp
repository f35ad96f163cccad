#include "library/util/DataFolders.h"
#include "library/util/Settings.h"
#include "library/util/SettingsTestSeam.h"
#include "library/util/TextConversion.h"
#include "tests/util/UtilTestSupport.h"

#include <gtest/gtest.h>

#include <oleauto.h>
#include <sddl.h>

namespace {

const wchar_t kProductKey[] = L"Software\\Tavrel Corporation\\Quillbay";

class SettingsTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(registry_.IsActive()); }
    void TearDown() override { SetMachineSettingsWritableForTest(true); }

    static void Put(HKEY hive, const wchar_t* name, DWORD value) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(hive, kProductKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                                 nullptr));
        RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
        RegCloseKey(key);
    }
    static void PutBytes(HKEY hive, const wchar_t* subKey, const wchar_t* name, DWORD type, const void* data,
                         DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(hive, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
        RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
    // The DWORD stored in a stand-in hive, or -1 when it is missing.
    static long long Stored(HKEY hive, const std::wstring& name) {
        DWORD value = 0;
        DWORD size = sizeof(value);
        if (RegGetValueW(hive, kProductKey, name.c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) {
            return -1;
        }
        return value;
    }

    CScratchRegistry registry_;
};

TEST_F(SettingsTest, UserValueWinsOverMachineValueAndMachineIsTheFallback) {
    Put(registry_.User(), L"AutoUpdatemode", 5);
    Put(registry_.Machine(), L"AutoUpdatemode", 9);
    Put(registry_.Machine(), L"ravelinMsg", 3);
    DWORD value = 77;
    ASSERT_TRUE(ReadSetting(L"AutoUpdatemode", &value));
    EXPECT_EQ(5u, value);
    ASSERT_TRUE(ReadSetting(L"ravelinMsg", &value));
    EXPECT_EQ(3u, value);

    value = 77;
    EXPECT_FALSE(ReadSetting(L"TopMost", &value));
    EXPECT_EQ(77u, value);
    // A value of the wrong type or size is not a setting of ours.
    PutBytes(registry_.User(), kProductKey, L"GNCoverArt", REG_SZ, L"1", 4);
    EXPECT_FALSE(ReadSetting(L"GNCoverArt", &value));
    EXPECT_EQ(77u, value);

    ASSERT_TRUE(WriteSettingDword(L"AnalysisMode", 2));
    EXPECT_EQ(2, Stored(registry_.User(), L"AnalysisMode"));
    EXPECT_EQ(-1, Stored(registry_.Machine(), L"AnalysisMode"));
    ASSERT_TRUE(WriteMachineSettingDword(L"AutoExec", 1));
    EXPECT_EQ(1, Stored(registry_.Machine(), L"AutoExec"));
    ASSERT_TRUE(ReadMachineSettingDword(L"AutoExec", &value));
    EXPECT_EQ(1u, value);
    EXPECT_FALSE(ReadMachineSettingDword(L"AnalysisMode", &value));
}

TEST_F(SettingsTest, SwitchesReadTrueOnlyForOneAndMovieConversionDefaultsOn) {
    EXPECT_TRUE(IsMovieConvertEnabled());
    EXPECT_FALSE(IsMovieConvertCautionSet());
    Put(registry_.User(), L"MovieConvert", 0);
    Put(registry_.User(), L"MovieConvertCaution", 2);
    EXPECT_FALSE(IsMovieConvertEnabled());
    EXPECT_FALSE(IsMovieConvertCautionSet());
    Put(registry_.User(), L"MovieConvert", 1);
    Put(registry_.User(), L"MovieConvertCaution", 1);
    EXPECT_TRUE(IsMovieConvertEnabled());
    EXPECT_TRUE(IsMovieConvertCautionSet());
}

TEST_F(SettingsTest, WindowPositionNeedsBothValues) {
    int x = -1;
    int y = -1;
    EXPECT_FALSE(ReadWindowPos(&x, &y));
    EXPECT_EQ(-1, x);
    Put(registry_.User(), L"WinPosX", 120);
    EXPECT_FALSE(ReadWindowPos(&x, &y));
    EXPECT_EQ(120, x);
    EXPECT_EQ(-1, y);
    Put(registry_.User(), L"WinPosY", static_cast<DWORD>(-40));
    EXPECT_TRUE(ReadWindowPos(&x, &y));
    EXPECT_EQ(-40, y);
}

TEST_F(SettingsTest, PerDeviceValuesAreNamedByTheCurrentDevice) {
    // No device stored: presets read their defaults and are not written.
    EXPECT_EQ(L"", GetCurrentDevId());
    EXPECT_EQ(4u, ReadSyncPreset(0));
    EXPECT_EQ(7u, ReadSyncPreset(2));
    EXPECT_EQ(11u, ReadSyncPreset(3));
    EXPECT_FALSE(WriteSyncPreset(2, 1));
    EXPECT_EQ(-1, Stored(registry_.User(), L"_SyncPresetMovie"));

    const std::wstring id = L"054c_0123_SERIAL9";
    ASSERT_TRUE(SetCurrentDevId(id));
    EXPECT_EQ(id, GetCurrentDevId());

    struct Case {
        int kind;
        const wchar_t* syncName;
        const wchar_t* presetName;
        DWORD defaultPreset;
    };
    const Case cases[] = {
        {0, L"SyncMusic", L"SyncPresetMusic", 4},  {1, L"SyncMusic", L"SyncPresetMusic", 4},
        {2, L"SyncMovie", L"SyncPresetMovie", 7},  {3, L"SyncPcast", L"SyncPresetPcast", 11},
        {5, L"SyncMusic", L"SyncPresetMusic", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        RegDeleteKeyValueW(registry_.User(), kProductKey, (id + L"_" + c.syncName).c_str());
        RegDeleteKeyValueW(registry_.User(), kProductKey, (id + L"_" + c.presetName).c_str());
        EXPECT_EQ(c.defaultPreset, ReadSyncPreset(c.kind));
        EXPECT_FALSE(ReadSyncEnabled(c.kind));
        ASSERT_TRUE(WriteSyncEnabled(c.kind, true));
        EXPECT_EQ(1, Stored(registry_.User(), id + L"_" + c.syncName));
        EXPECT_TRUE(ReadSyncEnabled(c.kind));
        ASSERT_TRUE(WriteSyncEnabled(c.kind, false));
        EXPECT_EQ(0, Stored(registry_.User(), id + L"_" + c.syncName));
        EXPECT_FALSE(ReadSyncEnabled(c.kind));
        Put(registry_.User(), (id + L"_" + c.syncName).c_str(), 2);
        EXPECT_FALSE(ReadSyncEnabled(c.kind));
        ASSERT_TRUE(WriteSyncPreset(c.kind, 21));
        EXPECT_EQ(21, Stored(registry_.User(), id + L"_" + c.presetName));
        EXPECT_EQ(21u, ReadSyncPreset(c.kind));
    }
    EXPECT_FALSE(ReadSyncAutoexec());
    ASSERT_TRUE(WriteSyncAutoexec(true));
    EXPECT_EQ(1, Stored(registry_.User(), id + L"_SyncAutoexec"));
    EXPECT_TRUE(ReadSyncAutoexec());
}

TEST_F(SettingsTest, DeviceIdIsReadSafelyFromEitherHive) {
    // Stored by the machine's installer, without a terminating null.
    const wchar_t machineId[] = {L'a', L'b', L'c', L'd'};
    PutBytes(registry_.Machine(), kProductKey, L"CurrentDevId", REG_SZ, machineId, sizeof(machineId));
    EXPECT_EQ(L"abcd", GetCurrentDevId());
    // A user value wins, and an embedded null ends it.
    const wchar_t userId[] = L"0001_0002_X\0junk";
    PutBytes(registry_.User(), kProductKey, L"CurrentDevId", REG_SZ, userId, sizeof(userId));
    EXPECT_EQ(L"0001_0002_X", GetCurrentDevId());
    // A value of another type is no identifier.
    DWORD number = 5;
    PutBytes(registry_.User(), kProductKey, L"CurrentDevId", REG_DWORD, &number, sizeof(number));
    EXPECT_EQ(L"abcd", GetCurrentDevId());

    ASSERT_TRUE(SetCurrentDevId(L"054c_0123_S"));
    wchar_t stored[32] = {};
    DWORD size = sizeof(stored);
    DWORD type = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(registry_.User(), kProductKey, L"CurrentDevId", RRF_RT_ANY | RRF_NOEXPAND,
                                          &type, stored, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(sizeof(L"054c_0123_S"), size);
}

TEST_F(SettingsTest, LastUpdateDateRoundTripsAndClears) {
    CDateValue missing = ReadLastUpdateDate();
    EXPECT_TRUE(missing.valid);
    EXPECT_EQ(0.0, missing.value);

    SYSTEMTIME time = {};
    time.wYear = 2024;
    time.wMonth = 2;
    time.wDay = 29;
    time.wHour = 17;
    time.wMinute = 30;
    DATE withTime = 0.0;
    ASSERT_TRUE(SystemTimeToVariantTime(&time, &withTime));
    ASSERT_TRUE(WriteLastUpdateDate(withTime, false));
    EXPECT_EQ(2024, Stored(registry_.User(), L"LastUpdateYear"));
    EXPECT_EQ(2, Stored(registry_.User(), L"LastUpdateMonth"));
    EXPECT_EQ(29, Stored(registry_.User(), L"LastUpdateDay"));
    CDateValue read = ReadLastUpdateDate();
    EXPECT_TRUE(read.valid);
    time.wHour = 0;
    time.wMinute = 0;
    DATE midnight = 0.0;
    ASSERT_TRUE(SystemTimeToVariantTime(&time, &midnight));
    EXPECT_EQ(midnight, read.value);

    ASSERT_TRUE(WriteLastUpdateDate(withTime, true));
    for (const wchar_t* name : {L"LastUpdateYear", L"LastUpdateMonth", L"LastUpdateDay"}) {
        EXPECT_EQ(0xFFFFFFFFLL, Stored(registry_.User(), name)) << name;
    }
    CDateValue cleared = ReadLastUpdateDate();
    EXPECT_FALSE(cleared.valid);
    EXPECT_EQ(0.0, cleared.value);

    // A missing part reads as no date at all.
    RegDeleteKeyValueW(registry_.User(), kProductKey, L"LastUpdateDay");
    EXPECT_TRUE(ReadLastUpdateDate().valid);
    EXPECT_EQ(0.0, ReadLastUpdateDate().value);
}

TEST_F(SettingsTest, FirstRunMarkerGoesToTheMachineWhenItCan) {
    std::wstring name = GetUserDataFolder();
    ASSERT_NE(std::wstring::npos, name.find(L"\\Tavrel Corporation\\Quillbay\\"));
    ReplaceReservedChars(&name);
    EXPECT_EQ(std::wstring::npos, name.find_first_of(L"\\:."));

    EXPECT_FALSE(IsFirstRunDoneForUser());
    ASSERT_TRUE(MarkFirstRunDoneForUser());
    EXPECT_EQ(1, Stored(registry_.Machine(), name));
    EXPECT_EQ(-1, Stored(registry_.User(), name));
    EXPECT_TRUE(IsFirstRunDoneForUser());
}

TEST_F(SettingsTest, FirstRunMarkerFallsBackToTheUserWhenTheMachineIsReadOnly) {
    std::wstring name = GetUserDataFolder();
    ReplaceReservedChars(&name);
    SetMachineSettingsWritableForTest(false);

    EXPECT_FALSE(IsFirstRunDoneForUser());
    ASSERT_TRUE(MarkFirstRunDoneForUser());
    EXPECT_EQ(-1, Stored(registry_.Machine(), name));
    EXPECT_EQ(1, Stored(registry_.User(), name));
    // The next start sees the user's marker, so the first-start clean-up does not run again.
    EXPECT_TRUE(IsFirstRunDoneForUser());
    // A marker of another value does not count.
    Put(registry_.User(), name.c_str(), 2);
    EXPECT_FALSE(IsFirstRunDoneForUser());
}

}  // namespace

namespace {

// The machine's product key as a standard user sees it: readable, not writable.
TEST_F(SettingsTest, MachineValuesAreReadWithoutAskingForWriteAccess) {
    Put(registry_.Machine(), L"TopMost", 1);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(registry_.Machine(), kProductKey, 0, WRITE_DAC, &key));
    // Everyone may read the key and delete it (so the scratch tree can go), nothing more.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KRSD;;;WD)", SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor));
    LocalFree(descriptor);
    RegCloseKey(key);
    HKEY probe = nullptr;
    if (RegOpenKeyExW(registry_.Machine(), kProductKey, 0, KEY_ALL_ACCESS, &probe) == ERROR_SUCCESS) {
        RegCloseKey(probe);
        GTEST_SKIP() << "this registry does not enforce key access rights";
    }

    DWORD value = 0;
    EXPECT_TRUE(ReadSetting(L"TopMost", &value));
    EXPECT_EQ(1u, value);
    EXPECT_TRUE(ReadMachineSettingDword(L"TopMost", &value));
    EXPECT_FALSE(WriteMachineSettingDword(L"TopMost", 0));
}

}  // namespace
