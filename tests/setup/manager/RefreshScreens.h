#pragma once
// Placeholder screens whose refresh handling follows the wizard's own: the list starts the write
// thread, each written song goes to the pipeline, and every song the pipeline finishes counts.
// Records that arrive while no refresh runs are ignored. A hook runs on chosen progress.

#include <functional>

#include "setup/wizard/ISetupFrame.h"
#include "setup/wizard/ISetupManager.h"
#include "setup/wizard/SetupCodes.h"
#include "tests/setup/frame/RecordingScreens.h"

class CRefreshScreens : public CRecordingScreens {
public:
    void OnProgress(ISetupFrame& frame, const CPROCMessage& message) override {
        CRecordingScreens::OnProgress(frame, message);
        ISetupManager* manager = frame.Manager();
        if (manager == nullptr || message.kind != SetupProgress::kKind || !manager->IsRefreshRunning()) return;
        switch (message.subtype) {
        case SetupProgress::kListReady:
            total = message.value;
            if (total > 0) manager->StartWriteThread();
            break;
        case SetupProgress::kTransferred:
        case SetupProgress::kItemDone:
            ++analysed;
            break;
        case SetupProgress::kMoodStepDone:
            ++written;
            manager->AddAnalysedFile(message.text);
            if (onWritten) onWritten(frame);
            break;
        case SetupProgress::kDiskFull:
            diskFull = true;
            break;
        default:
            break;
        }
    }

    bool Finished() const { return total > 0 && analysed >= total; }
    void ResetCounts() { total = written = analysed = 0; }

    int total = 0;
    int written = 0;
    int analysed = 0;
    bool diskFull = false;
    std::function<void(ISetupFrame&)> onWritten;
};
