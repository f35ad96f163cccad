// Quillbay's start-up and automation server with a scripted coordinator behind the real main
// window, as the script tests' server: the window creates it, it publishes itself once started and
// withdraws when the window goes, as the program's coordinator does.

#include "CScriptedCoordinator.h"
#include "app/main/CQBApp.h"

namespace {

class CScriptedFrameCoordinator final : public IMainFrameCoordinator, public IMainFrameListener {
public:
    ~CScriptedFrameCoordinator() override { Shutdown(); }

    IMainFrameListener* Listener() override { return this; }
    HRESULT Initialize() override {
        CCOMManager::SetListener(&coordinator_);
        return S_OK;
    }
    void Shutdown() override {
        CCOMManager::SetListener(nullptr);
        coordinator_.JoinRun();
    }
    // The window's own actions are not what the script tests drive.
    void OnDeviceStateChanged() override {}
    void MarkActiveDeviceModified() override {}
    void OpenSettingsSheet() override {}
    void OpenDeleteDialog(int) override {}
    void OpenSyncSelectDialog(int) override {}
    void ShowLogDialog() override {}
    void OnDrop(IDataObject*) override {}
    void OnCancel(int32_t) override {}
    void OnSettingsChanged() override {}
    void OnRefreshDevice() override {}
    void OnStartSync() override {}

private:
    CScriptedCoordinator coordinator_;
};

class CQBTestServerApp final : public CQBApp {
protected:
    std::unique_ptr<IMainFrameCoordinator> CreateCoordinator(const MainFrameCoordinatorArgs&) override {
        return std::make_unique<CScriptedFrameCoordinator>();
    }
};

CQBTestServerApp theApp;

}  // namespace
