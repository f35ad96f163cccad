// Starting the update checker and the setup wizard.
#include "app/coordinator/QBCommonManager.h"

#include <cmath>

#include "library/capability/DefaultCapabilityXml.h"
#include "library/util/ModuleFolder.h"
#include "library/util/SettingNames.h"
#include "library/util/Settings.h"

namespace {

SYSTEMTIME SystemLocalNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now;
}

DATE ToDate(const SYSTEMTIME& time) {
    DATE date = 0.0;
    SYSTEMTIME copy = time;
    SystemTimeToVariantTime(&copy, &date);
    return date;
}

}  // namespace

void CQBCommonManager::CheckAutoUpdate() {
    DWORD autoUpdate = 1;
    if (ReadSetting(settings::kAutoUpdate, &autoUpdate) && autoUpdate != 1) return;
    const CDateValue last = ReadLastUpdateDate();
    const DATE now = ToDate(localNow_ != nullptr ? localNow_() : SystemLocalNow());
    // Elapsed time to the nearest second, then whole days. A missing or unreadable date reads as
    // 0.0, more than a century ago: the check is due at once.
    const double seconds = std::floor((now - (last.valid ? last.value : 0.0)) * 86400.0 + 0.5);
    const double days = std::floor(seconds / 86400.0);
    DWORD mode = 2;
    ReadSetting(settings::kAutoUpdateMode, &mode);
    const double interval = mode == 0 ? 0.0 : mode == 1 ? 1.0 : 7.0;
    // A last date ahead of today (the clock was set back) would hold the check off for that long.
    if (days >= interval || days < 0) LaunchUpdateChecker(true);
}

void CQBCommonManager::LaunchUpdateChecker(bool automatic) {
    int x = 0, y = 0;
    ReadWindowPos(&x, &y);
    std::wstring parameters = automatic ? L"/M AUTO " : L"/M MANUAL ";
    parameters += L"/B " + std::to_wstring(x) + L"," + std::to_wstring(y) + L",200,266 ";
    parameters += L"/C PA001 /S TNFW /N \"TORNELLE\" /E 0.00 /F UPDATE ";
    parameters += L"/C PP001 /S QV /N \"Quillbay\" /E " + fileVersion_ + L" /F UPDATE";
    launcher_->Launch(GetModuleFolder() + L"UpdateChecker\\Ostrim.exe", parameters, SW_HIDE);
    // Stored whatever the start gave: a checker that cannot start is not retried at every check.
    WriteLastUpdateDate(ToDate(localNow_ != nullptr ? localNow_() : SystemLocalNow()), false);
}

bool CQBCommonManager::LaunchSetup() {
    return launcher_->Launch(GetModuleFolder() + L"HalvixSetup.exe", L"-WithoutMutexCheck", SW_HIDE) > 32;
}

HRESULT CQBCommonManager::LoadDefaultCapabilityXml(BYTE* buffer, DWORD* size) {
    return ::LoadDefaultCapabilityXml(reinterpret_cast<char*>(buffer), size);
}
