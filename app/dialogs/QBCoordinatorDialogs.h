#pragma once
// The coordinator's dialogs: the settings sheet, the delete dialog, the sync selection and the log.
// Each runs modally on the calling thread. The transfer stage's reports for the delete dialog
// (the folder tree, each deleted item, the rebuilt tree) are handed to the open dialog through
// the On... calls; a tree that comes before the dialog has opened waits for it.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/coordinator/CoordinatorDialogs.h"
#include "library/util/ScopedWin.h"

#include "library/device/QBTreeNode.h"

class CQBDeleteDlg;

class CQBCoordinatorDialogs : public ICoordinatorDialogs {
public:
    // languageModule: the texts of every dialog. showAbout opens the About box over a window; it
    // may be empty (the settings sheet's About button then does nothing).
    CQBCoordinatorDialogs(HMODULE languageModule, std::function<void(HWND)> showAbout);

    INT_PTR RunSettingsSheet(CQBCommonManager* coordinator, const SettingsSheetArgs& args) override;
    bool RunDeleteDialog(CQBCommonManager* coordinator, int32_t kind, HWND volatile* dialogWindow) override;
    INT_PTR RunSyncSelectDialog(CQBCommonManager* coordinator, int32_t kind, HWND volatile* dialogWindow,
                                std::wstring* presets) override;
    void RunLogDialog(const std::wstring& report) override;
    int GetEffectiveSyncPreset(int kind) override;
    int GetSyncPresetName(int preset) override;

    void OnFolderTree(CQBTreeNode* root) override;
    void OnContentDeleted() override;
    void OnDeleteFinished(CQBTreeNode* root, uint64_t freeBytes) override;

private:
    HMODULE languageModule_;
    std::function<void(HWND)> showAbout_;
    CCriticalSection deleteLock_;
    CQBDeleteDlg* openDelete_ = nullptr;
    // The coordinator starts building the tree before it opens the dialog, so the answer (a tree,
    // or none for an empty kind) may come first.
    bool earlyAnswer_ = false;
    std::unique_ptr<CQBTreeNode> earlyTree_;
};
