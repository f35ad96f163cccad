// The coordinator as automation reaches it, and the dialogs it opens for automation on threads
// of their own so that the automation call returns at once.
#include "app/coordinator/QBCommonManager.h"

#include <process.h>

#include "app/coordinator/AutomationEventText.h"
#include "app/coordinator/QBCommonManagerInternal.h"
#include "library/contents/UiThreadWait.h"
#include "library/util/ModuleFolder.h"
#include "library/util/SettingNames.h"
#include "library/util/Settings.h"
#include "library/util/UIModeFile.h"

using namespace coordinator;

namespace coordinator {

std::wstring LoadResourceText(HMODULE module, UINT id) {
    if (module == nullptr) return std::wstring();
    wchar_t buffer[512] = {};
    const int length = LoadStringW(module, id, buffer, 512);
    return length > 0 ? std::wstring(buffer, static_cast<size_t>(length)) : std::wstring();
}

}  // namespace coordinator

namespace {

BSTR NewBstr(const std::wstring& text) {
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

std::wstring FromBstr(BSTR text) {
    return text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

bool SwitchOn(const std::wstring& flags, size_t position) {
    return position < flags.size() && flags[position] == L'1';
}

void WriteAnalysisMode(int32_t mode) {
    WriteSettingDword(settings::kAnalysisMode, mode == 1 ? 1 : mode == 2 ? 2 : 0);
}

}  // namespace

void CQBCommonManager::OnInvoke(int32_t* result) {
    const LONG count = InterlockedIncrement(&invokeCount_);
    const int32_t answer = !startedByAutomation_ ? 0 : count == 1 ? 1 : 2;
    if (result != nullptr) *result = answer;
    if (answer != 1) return;
    const int state = transfer_.CheckDevice(nullptr);
    BuildDeviceDescription(state, 0);
    RaiseUIMode(transfer_.GetMode() == CTransferManager::kCarAudioUnit, false);
    if (state == CTransferManager::kStateFound || state == CTransferManager::kStateChanged) SetMovieOutputSize();
}

void CQBCommonManager::GetHelpFile(BSTR* path) {
    // The language folder ends in a separator already; the doubled one is harmless and is what
    // the help viewer has always been given.
    if (path != nullptr) *path = NewBstr(GetLanguageFolder() + L"\\Quillbay Help.chm");
}

void CQBCommonManager::GetSyncSwitches(BSTR* switches) {
    if (switches == nullptr) return;
    CScopedLock lock(lock_);
    std::vector<std::wstring> flags;
    for (int kind = 0; kind < 4; ++kind) flags.push_back(kinds_[kind] ? L"1" : L"0");
    *switches = NewBstr(JoinEventFields(flags));
}

void CQBCommonManager::GetMyComputerPath(BSTR* path) {
    if (path != nullptr) *path = NewBstr(L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}");
}

void CQBCommonManager::Transfer(BSTR value, int32_t fileType, int32_t basePathLength, int32_t* result) {
    RunRequest request;
    request.value = FromBstr(value);
    request.fileType = fileType;
    request.basePathLength = basePathLength;
    OpenRun(kOpenTransfer, request);
    if (result != nullptr) *result = 0;
}

void CQBCommonManager::CancelTransfer(int32_t* result) {
    if (frame_ != nullptr) SetEvent(frame_->StopEvent());
    OnCancel(1);
    if (result != nullptr) *result = 0;
}

void CQBCommonManager::UpdateSetting(BSTR flags) {
    const std::wstring text = FromBstr(flags);
    WriteSyncEnabled(0, SwitchOn(text, 0));
    WriteSyncEnabled(2, SwitchOn(text, 2));
    WriteSyncEnabled(3, SwitchOn(text, 4));
    WriteSyncAutoexec(SwitchOn(text, 6));
}

void CQBCommonManager::UpdateAnalysisMode(int32_t mode) {
    WriteAnalysisMode(mode);
    ApplyAnalysisMode();
}

void CQBCommonManager::UpdateSetting2(int32_t analysisMode, BSTR syncFolders, int32_t) {
    WriteAnalysisMode(analysisMode);
    ApplyAnalysisMode();
    const std::wstring text = FromBstr(syncFolders);
    WriteSyncEnabled(0, SwitchOn(text, 0));
    WriteSyncEnabled(3, SwitchOn(text, 4));
}

void CQBCommonManager::FireSpace() {
    transfer_.RequestEnumeration();
}

void CQBCommonManager::OpenLogFile() {
    ShowLogDialog();
}

void CQBCommonManager::StartSync() {
    OnStartSync();
}

void CQBCommonManager::OpenDeleteDialog(int32_t mediaId) {
    int32_t kind = -1;
    switch (mediaId) {
    case 1: kind = 0; break;
    case 2: kind = 1; break;
    case 3: kind = 2; break;
    case 4: kind = 3; break;
    case 7: kind = 4; break;
    default: return;
    }
    CScopedLock lock(lock_);
    if (deleteDialogOpen_) return;
    dialogKind_ = kind;
    PostInt(IAutomationEvents::kDeleteDialog, 0);
    StartDialogThread(&deleteDialogThread_, &deleteDialogOpen_, DeleteThreadEntry);
}

void CQBCommonManager::OpenSyncDialog(int32_t mediaId) {
    const int32_t kind = mediaId == 1 ? 0 : mediaId == 3 ? 2 : mediaId == 4 ? 3 : 6;
    CScopedLock lock(lock_);
    if (syncOpen_) return;
    dialogKind_ = kind;
    PostInt(IAutomationEvents::kSyncDialog, 0);
    StartDialogThread(&syncThread_, &syncOpen_, SyncThreadEntry);
}

void CQBCommonManager::OpenSettingDialog() {
    CScopedLock lock(lock_);
    if (settingsOpen_) return;
    PostInt(IAutomationEvents::kSettingDialog, 0);
    StartDialogThread(&settingsThread_, &settingsOpen_, SettingsThreadEntry);
}

void CQBCommonManager::StartDialogThread(HANDLE* handle, std::atomic<bool>* open, unsigned(__stdcall* entry)(void*)) {
    // The previous thread of this dialog has closed its dialog and is at most returning.
    if (*handle != nullptr) {
        WaitForSingleObject(*handle, INFINITE);
        CloseHandle(*handle);
        *handle = nullptr;
    }
    *open = true;
    *handle = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, entry, this, 0, nullptr));
    if (*handle == nullptr) *open = false;
}

unsigned __stdcall CQBCommonManager::SettingsThreadEntry(void* self) {
    CQBCommonManager* coordinator = static_cast<CQBCommonManager*>(self);
    coordinator->OpenSettingsSheet(true);
    coordinator->settingsOpen_ = false;
    coordinator->PostInt(IAutomationEvents::kSettingDialog, 1);
    return 0;
}

unsigned __stdcall CQBCommonManager::DeleteThreadEntry(void* self) {
    CQBCommonManager* coordinator = static_cast<CQBCommonManager*>(self);
    coordinator->OpenDeleteDialogNow(coordinator->dialogKind_);
    coordinator->deleteDialogOpen_ = false;
    coordinator->PostInt(IAutomationEvents::kDeleteDialog, 1);
    return 0;
}

unsigned __stdcall CQBCommonManager::SyncThreadEntry(void* self) {
    CQBCommonManager* coordinator = static_cast<CQBCommonManager*>(self);
    coordinator->OpenSyncSelectDialog(coordinator->dialogKind_);
    coordinator->syncOpen_ = false;
    coordinator->PostText(IAutomationEvents::kUpdateSyncFolder, coordinator->syncPresetText_);
    coordinator->PostInt(IAutomationEvents::kSyncDialog, 1);
    return 0;
}

void CQBCommonManager::OpenSettingsSheet(bool forAutomation) {
    if (resourceModule_ == nullptr || dialogs_ == nullptr) return;
    ICoordinatorDialogs::SettingsSheetArgs args;
    args.forAutomation = forAutomation;
    args.carAudioUnit = transfer_.GetMode() == CTransferManager::kCarAudioUnit;
    args.carAudioInstalled = ReadUIMode() != 0;
    args.volumeName = transfer_.GetVolumeInfo();
    SetFrameBusy(0);
    const INT_PTR result = dialogs_->RunSettingsSheet(this, args);
    SetFrameBusy(1);
    if (result == IDOK) {
        OnSettingsChanged();
    } else if (result == 5) {
        BuildDeviceDescription(lastDeviceState_, 0);
        if (!startedByAutomation_ && frame_ != nullptr && frame_->Window() != nullptr) {
            ::PostMessageW(frame_->Window(), WM_CLOSE, 0, 0);
        }
    }
}

void CQBCommonManager::OpenDeleteDialogNow(int32_t kind) {
    if (resourceModule_ == nullptr || dialogs_ == nullptr) return;
    SetFrameBusy(0);
    // The tree is built by the active controller; without a player the dialog shows no tree.
    const bool withPlayer = transfer_.GetActiveControllerType() != CTransferManager::kNoController;
    if (withPlayer) transfer_.StartFolderTreeThread(kind);
    const bool deleted = dialogs_->RunDeleteDialog(this, kind, &deleteDialog_);
    deleteDialog_ = nullptr;
    if (withPlayer) {
        transfer_.StopFolderTreeThread();
        transfer_.StopDeleteThread();
    }
    if (deleted) transfer_.RequestEnumeration();
    SetFrameBusy(1);
}

void CQBCommonManager::OpenSyncSelectDialog(int32_t kind) {
    if (resourceModule_ == nullptr || dialogs_ == nullptr) return;
    SetFrameBusy(0);
    std::wstring presets;
    const INT_PTR result = dialogs_->RunSyncSelectDialog(this, kind, &syncDialog_, &presets);
    syncDialog_ = nullptr;
    if (result == IDOK) {
        ClearSyncFileList(kind);
        CScopedLock lock(lock_);
        syncPresetText_ = presets;
    }
    SetFrameBusy(1);
}

void CQBCommonManager::CloseOpenDialogs() {
    static const UINT closeDeleteMessage = RegisterWindowMessageW(L"QuillbayDeleteDlgCloseMsgString");
    HANDLE deleteThread = nullptr;
    HANDLE syncThread = nullptr;
    {
        CScopedLock lock(lock_);
        deleteThread = deleteDialogThread_;
        syncThread = syncThread_;
    }
    // The dialogs' threads may be sending to this thread while they close: answer while waiting.
    if (HWND dialog = deleteDialog_) {
        ::PostMessageW(dialog, closeDeleteMessage, 0, 0);
        if (deleteThread != nullptr) WaitPumpingSentMessages(deleteThread);
    }
    if (HWND dialog = syncDialog_) {
        ::PostMessageW(dialog, WM_CLOSE, 0, 0);
        if (syncThread != nullptr) WaitPumpingSentMessages(syncThread);
    }
}

void CQBCommonManager::WaitDialogThreads() {
    CloseOpenDialogs();
    HANDLE* handles[] = {&deleteDialogThread_, &settingsThread_, &syncThread_};
    for (HANDLE* handle : handles) {
        HANDLE thread = nullptr;
        {
            CScopedLock lock(lock_);
            thread = *handle;
            *handle = nullptr;
        }
        if (thread == nullptr) continue;
        WaitPumpingSentMessages(thread);
        CloseHandle(thread);
    }
}
