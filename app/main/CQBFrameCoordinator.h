#pragma once
// The coordinator as the main window creates it: the program's CQBCommonManager, joined to the
// automation event thread, the language module, the dialogs and the sync list files, behind the
// operations the window calls.

#include <memory>

#include "app/coordinator/QBCommonManager.h"
#include "app/mainframe/MainFrameCoordinator.h"

class CQBFrameCoordinator final : public IMainFrameCoordinator {
public:
    // What the program hands the coordinator besides the window's own arguments. None is owned;
    // each must outlive the coordinator.
    struct Parts {
        IAutomationEvents* events = nullptr;
        bool startedByAutomation = false;
        // Null: the coordinator opens none of its dialogs.
        ICoordinatorDialogs* dialogs = nullptr;
        // Null: the sync lists are kept in memory.
        ISyncFileLists* syncLists = nullptr;
    };

    CQBFrameCoordinator(const MainFrameCoordinatorArgs& args, const Parts& parts);

    CQBCommonManager& Coordinator() { return coordinator_; }

    IMainFrameListener* Listener() override { return &coordinator_; }
    HRESULT Initialize() override { return coordinator_.Initialize(); }
    void Shutdown() override { coordinator_.Shutdown(); }
    void OnDeviceStateChanged() override { coordinator_.OnDeviceStateChanged(); }
    void MarkActiveDeviceModified() override;
    void OpenSettingsSheet() override { coordinator_.OpenSettingsSheet(false); }
    void OpenDeleteDialog(int kind) override { coordinator_.OpenDeleteDialogNow(kind); }
    void OpenSyncSelectDialog(int kind) override { coordinator_.OpenSyncSelectDialog(kind); }
    void ShowLogDialog() override { coordinator_.ShowLogDialog(); }

private:
    CQBCommonManager coordinator_;
};
