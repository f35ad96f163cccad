#include "library/util/Settings.h"

#include "library/util/DataFolders.h"
#include "library/util/RegistryAccess.h"
#include "library/util/SettingNames.h"
#include "library/util/TextConversion.h"

#include <oleauto.h>

namespace {

using registry::kProductKey;

constexpr int kMovieKind = 2;
constexpr int kPodcastKind = 3;
constexpr DWORD kClearedDatePart = 0xFFFFFFFF;

bool ReadUserSettingDword(const std::wstring& name, DWORD* out) {
    CScopedRegKey key;
    return registry::CreateForWrite(HKEY_CURRENT_USER, kProductKey, &key) &&
           registry::ReadDword(key.Get(), name.c_str(), out);
}

std::wstring DeviceValueName(const wchar_t* name) { return GetCurrentDevId() + L"_" + name; }

const wchar_t* SyncEnabledName(int kind) {
    if (kind == kMovieKind) return L"SyncMovie";
    if (kind == kPodcastKind) return L"SyncPcast";
    return L"SyncMusic";
}

const wchar_t* SyncPresetName(int kind) {
    if (kind == kMovieKind) return L"SyncPresetMovie";
    if (kind == kPodcastKind) return L"SyncPresetPcast";
    return L"SyncPresetMusic";
}

DWORD DefaultSyncPreset(int kind) {
    if (kind == kMovieKind) return 7;
    if (kind == kPodcastKind) return 11;
    return 4;
}

bool IsSettingOne(const std::wstring& name) {
    DWORD value = 0;
    return ReadSetting(name, &value) && value == 1;
}

std::wstring FirstRunValueName() {
    std::wstring name = GetUserDataFolder();
    ReplaceReservedChars(&name);
    return name;
}

}  // namespace

bool WriteSettingDword(const std::wstring& name, DWORD value) {
    CScopedRegKey key;
    return registry::CreateForWrite(HKEY_CURRENT_USER, kProductKey, &key) &&
           registry::WriteDword(key.Get(), name.c_str(), value);
}

bool ReadSetting(const std::wstring& name, DWORD* out) {
    if (out == nullptr) return false;
    if (ReadUserSettingDword(name, out)) return true;
    return ReadMachineSettingDword(name, out);
}

bool WriteMachineSettingDword(const std::wstring& name, DWORD value) {
    CScopedRegKey key;
    return registry::CreateMachineKeyForWrite(kProductKey, &key) &&
           registry::WriteDword(key.Get(), name.c_str(), value);
}

bool ReadMachineSettingDword(const std::wstring& name, DWORD* out) {
    if (out == nullptr) return false;
    CScopedRegKey key;
    // Read access only: a standard user may read the machine's values but not write them.
    return registry::OpenForRead(HKEY_LOCAL_MACHINE, kProductKey, &key) &&
           registry::ReadDword(key.Get(), name.c_str(), out);
}

bool IsMovieConvertCautionSet() { return IsSettingOne(settings::kMovieConvertCaution); }

bool IsMovieConvertEnabled() {
    DWORD value = 0;
    return !ReadSetting(settings::kMovieConvert, &value) || value == 1;
}

bool ReadWindowPos(int* x, int* y) {
    if (x == nullptr || y == nullptr) return false;
    DWORD value = 0;
    bool foundX = ReadSetting(settings::kWinPosX, &value);
    if (foundX) *x = static_cast<int>(value);
    bool foundY = ReadSetting(settings::kWinPosY, &value);
    if (foundY) *y = static_cast<int>(value);
    return foundX && foundY;
}

bool SetCurrentDevId(const std::wstring& id) {
    CScopedRegKey key;
    return registry::CreateForWrite(HKEY_CURRENT_USER, kProductKey, &key) &&
           registry::WriteString(key.Get(), settings::kCurrentDevId, id);
}

std::wstring GetCurrentDevId() {
    std::wstring id;
    CScopedRegKey key;
    if (registry::CreateForWrite(HKEY_CURRENT_USER, kProductKey, &key) &&
        registry::ReadString(key.Get(), settings::kCurrentDevId, &id)) {
        return id;
    }
    if (registry::OpenForRead(HKEY_LOCAL_MACHINE, kProductKey, &key) &&
        registry::ReadString(key.Get(), settings::kCurrentDevId, &id)) {
        return id;
    }
    return std::wstring();
}

bool WriteSyncEnabled(int kind, bool on) { return WriteSettingDword(DeviceValueName(SyncEnabledName(kind)), on ? 1 : 0); }

bool ReadSyncEnabled(int kind) { return IsSettingOne(DeviceValueName(SyncEnabledName(kind))); }

bool WriteSyncAutoexec(bool on) { return WriteSettingDword(DeviceValueName(L"SyncAutoexec"), on ? 1 : 0); }

bool ReadSyncAutoexec() { return IsSettingOne(DeviceValueName(L"SyncAutoexec")); }

bool WriteSyncPreset(int kind, DWORD value) {
    const std::wstring id = GetCurrentDevId();
    if (id.empty()) return false;
    return WriteSettingDword(id + L"_" + SyncPresetName(kind), value);
}

DWORD ReadSyncPreset(int kind) {
    DWORD value = 0;
    if (ReadSetting(DeviceValueName(SyncPresetName(kind)), &value)) return value;
    return DefaultSyncPreset(kind);
}

bool WriteLastUpdateDate(DATE date, bool clear) {
    DWORD year = kClearedDatePart;
    DWORD month = kClearedDatePart;
    DWORD day = kClearedDatePart;
    SYSTEMTIME time = {};
    if (!clear && VariantTimeToSystemTime(date, &time)) {
        year = time.wYear;
        month = time.wMonth;
        day = time.wDay;
    }
    bool ok = WriteSettingDword(settings::kLastUpdateYear, year);
    ok = WriteSettingDword(settings::kLastUpdateMonth, month) && ok;
    ok = WriteSettingDword(settings::kLastUpdateDay, day) && ok;
    return ok;
}

CDateValue ReadLastUpdateDate() {
    DWORD year = 0;
    DWORD month = 0;
    DWORD day = 0;
    CDateValue result;
    if (!ReadSetting(settings::kLastUpdateYear, &year) || !ReadSetting(settings::kLastUpdateMonth, &month) ||
        !ReadSetting(settings::kLastUpdateDay, &day)) {
        return result;
    }
    result.valid = false;
    if (year > 9999 || month > 12 || day > 31) return result;
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    DATE date = 0.0;
    if (!SystemTimeToVariantTime(&time, &date)) return result;
    result.value = date;
    result.valid = true;
    return result;
}

bool IsFirstRunDoneForUser() {
    const std::wstring name = FirstRunValueName();
    DWORD value = 0;
    if (ReadMachineSettingDword(name, &value) && value == 1) return true;
    return ReadUserSettingDword(name, &value) && value == 1;
}

bool MarkFirstRunDoneForUser() {
    const std::wstring name = FirstRunValueName();
    if (WriteMachineSettingDword(name, 1)) return true;
    return WriteSettingDword(name, 1);
}
