// Quillbay's start-up and automation server with a scripted coordinator behind the main window, as
// the script tests' server: the main window publishes the coordinator once it exists and
// withdraws it when it goes, as the real main window does.

#include "CScriptedCoordinator.h"
#include "app/main/CQBApp.h"
#include "app/main/CQBPlaceholderFrame.h"

namespace {

class CScriptedCoordinatorFrame final : public CQBPlaceholderFrame {
public:
    ~CScriptedCoordinatorFrame() override {
        CCOMManager::SetListener(nullptr);
        coordinator_.JoinRun();
    }

    bool LoadFrame(UINT resourceId, DWORD style) override {
        if (!CQBPlaceholderFrame::LoadFrame(resourceId, style)) return false;
        CCOMManager::SetListener(&coordinator_);
        return true;
    }

private:
    CScriptedCoordinator coordinator_;
};

class CQBTestServerApp final : public CQBApp {
protected:
    std::unique_ptr<IQBMainWindow> CreateMainFrame() override {
        return std::make_unique<CScriptedCoordinatorFrame>();
    }
};

CQBTestServerApp theApp;

}  // namespace
