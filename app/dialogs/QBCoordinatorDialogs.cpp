#include "app/dialogs/QBCoordinatorDialogs.h"

#include <memory>
#include <vector>

#include "app/coordinator/AutomationEventText.h"
#include "app/coordinator/QBCommonManager.h"
#include "app/dialogs/QBCoordinatorDeleteRunner.h"
#include "app/dialogs/QBCoordinatorSettingActions.h"
#include "app/dialogs/QBDeleteDlg.h"
#include "app/dialogs/QBLogDlg.h"
#include "app/dialogs/QBSettingPropertySheet.h"
#include "app/dialogs/QBSyncSelectDlg.h"
#include "app/dialogs/SyncPresets.h"
#include "platform/ui/UiLanguageModule.h"

CQBCoordinatorDialogs::CQBCoordinatorDialogs(HMODULE languageModule, std::function<void(HWND)> showAbout)
    : languageModule_(languageModule), showAbout_(std::move(showAbout)) {}

INT_PTR CQBCoordinatorDialogs::RunSettingsSheet(CQBCommonManager* coordinator, const SettingsSheetArgs& args) {
    std::wstring caption;
    CUiLanguageModule::LoadText(languageModule_, 120, caption);
    CQBSettingPropertySheet::Options options;
    options.hideAbout = args.forAutomation;
    options.analysisLocked = args.carAudioUnit;
    options.carAudio = args.carAudioInstalled;
    CQBCoordinatorSettingActions actions(*coordinator, showAbout_);
    CQBSettingPropertySheet sheet(caption, languageModule_, options, actions);
    return sheet.DoModal(nullptr);
}

bool CQBCoordinatorDialogs::RunDeleteDialog(CQBCommonManager* coordinator, int32_t kind, HWND volatile* dialogWindow) {
    CTransferManager& transfer = coordinator->TransferStage();
    CQBCoordinatorDeleteRunner runner(transfer);
    CQBDeleteDlg dialog(runner, languageModule_, kind);
    dialog.SetWindowSlot(dialogWindow);
    dialog.SetDeviceName(transfer.GetVolumeInfo());
    dialog.SetFreeSpace(transfer.GetFreeSpace());
    {
        CScopedLock lock(deleteLock_);
        openDelete_ = &dialog;
        if (earlyAnswer_) dialog.SetFolderTree(std::move(earlyTree_));
    }
    dialog.DoModal(nullptr);
    {
        CScopedLock lock(deleteLock_);
        openDelete_ = nullptr;
        earlyAnswer_ = false;
        earlyTree_.reset();
    }
    *dialogWindow = nullptr;
    return runner.Started();
}

void CQBCoordinatorDialogs::OnFolderTree(CQBTreeNode* root) {
    std::unique_ptr<CQBTreeNode> owned(root);
    CScopedLock lock(deleteLock_);
    if (openDelete_ != nullptr) {
        openDelete_->SetFolderTree(std::move(owned));
    } else {
        earlyAnswer_ = true;
        earlyTree_ = std::move(owned);
    }
}

void CQBCoordinatorDialogs::OnContentDeleted() {
    CScopedLock lock(deleteLock_);
    if (openDelete_ != nullptr) openDelete_->IncrementDone();
}

void CQBCoordinatorDialogs::OnDeleteFinished(CQBTreeNode* root, uint64_t freeBytes) {
    std::unique_ptr<CQBTreeNode> owned(root);
    CScopedLock lock(deleteLock_);
    if (openDelete_ == nullptr) return;
    openDelete_->SetFreeSpace(freeBytes);
    openDelete_->SetFolderTree(std::move(owned));
}

INT_PTR CQBCoordinatorDialogs::RunSyncSelectDialog(CQBCommonManager*, int32_t kind, HWND volatile* dialogWindow,
                                                   std::wstring* presets) {
    CQBSyncSelectDlg dialog(languageModule_, std::wstring(), kind);
    dialog.SetWindowSlot(dialogWindow);
    const INT_PTR result = dialog.DoModal(nullptr);
    *dialogWindow = nullptr;
    if (result == IDOK && presets != nullptr) {
        // Automation hears the names of the three kinds' presets as they now stand.
        std::vector<std::wstring> names;
        for (int listKind : {0, 2, 3}) {
            std::wstring name;
            const int id = GetSyncPresetName(GetEffectiveSyncPreset(listKind));
            if (id >= 0) CUiLanguageModule::LoadText(languageModule_, static_cast<UINT>(id), name);
            names.push_back(name);
        }
        *presets = JoinEventFields(names);
    }
    return result;
}

void CQBCoordinatorDialogs::RunLogDialog(const std::wstring& report) {
    CQBLogDlg dialog;
    dialog.SetText(report);
    dialog.DoModal(nullptr);
}

int CQBCoordinatorDialogs::GetEffectiveSyncPreset(int kind) { return ::GetEffectiveSyncPreset(kind); }

int CQBCoordinatorDialogs::GetSyncPresetName(int preset) { return ::GetSyncPresetName(preset); }
