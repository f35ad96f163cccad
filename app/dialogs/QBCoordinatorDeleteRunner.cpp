#include "app/dialogs/QBCoordinatorDeleteRunner.h"

#include "library/transfer/TransferManager.h"

void CQBCoordinatorDeleteRunner::StartDelete(const std::vector<CQBTreeNode*>& nodes) {
    started_ = true;
    transfer_.StartDeleteThread(nodes);
}

void CQBCoordinatorDeleteRunner::CancelDelete() { transfer_.StopDeleteThread(); }
