#include "app/main/CQBFrameCoordinator.h"

#include "app/main/FileVersion.h"

CQBFrameCoordinator::CQBFrameCoordinator(const MainFrameCoordinatorArgs& args, const Parts& parts) {
    coordinator_.SetMainFrame(args.frame);
    coordinator_.SetResourceModule(args.resourceModule);
    coordinator_.SetAutomationEvents(parts.events);
    coordinator_.SetStartedByAutomation(parts.startedByAutomation);
    coordinator_.SetDialogs(parts.dialogs);
    coordinator_.SetSyncFileLists(parts.syncLists);
    coordinator_.SetFileVersion(GetFileVersionString());
}

void CQBFrameCoordinator::MarkActiveDeviceModified() {
    // After a resume the player may have been changed elsewhere: the next check reads it again.
    if (CDeviceControllerBase* active = coordinator_.TransferStage().ActiveController()) active->SetModified();
}
