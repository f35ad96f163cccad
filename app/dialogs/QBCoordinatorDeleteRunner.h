#pragma once
// Runs the delete dialog's deletions on the coordinator's transfer stage.

#include <atomic>
#include <vector>

#include "app/dialogs/QBDeleteDlg.h"

class CTransferManager;

class CQBCoordinatorDeleteRunner : public CQBDeleteDlg::IDeleteRunner {
public:
    explicit CQBCoordinatorDeleteRunner(CTransferManager& transfer) : transfer_(transfer) {}

    void StartDelete(const std::vector<CQBTreeNode*>& nodes) override;
    void CancelDelete() override;

    // True once a delete run has been started.
    bool Started() const { return started_; }

private:
    CTransferManager& transfer_;
    std::atomic<bool> started_{false};
};
