#include "tests/app/dialogs/DialogTestSupport.h"

#include "library/content/GuidString.h"
#include "library/util/DataFolders.h"
#include "library/util/FileSystem.h"
#include "library/util/Settings.h"

CScratchPlayer::CScratchPlayer() {
    std::wstring guid;
    if (!registry_.IsActive() || !CreateGuidString(&guid)) return;
    if (SetCurrentDevId(L"QbDialogsTest-" + guid)) deviceId_ = L"QbDialogsTest-" + guid;
}

CScratchPlayer::~CScratchPlayer() {
    if (!deviceId_.empty()) DeleteFolderTree(AddLongPathPrefix(DataFolder()));
}

std::wstring CScratchPlayer::DataFolder() const { return GetDeviceDataFolder(); }

bool ReadUserSetting(const wchar_t* name, DWORD* value) {
    DWORD size = sizeof(*value);
    return RegGetValueW(HKEY_CURRENT_USER, L"Software\\Tavrel Corporation\\Quillbay", name, RRF_RT_REG_DWORD,
                        nullptr, value, &size) == ERROR_SUCCESS;
}
