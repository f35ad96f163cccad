#pragma once
// What the main window asks of the coordinator beyond its listener: the dialogs it opens, the
// device check, and the coordinator's start and stop. The program adapts the real coordinator to
// this; tests put a fake behind it.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/coordinator/MainFrameListener.h"
#include "app/coordinator/MainFrameView.h"

class IMainFrameCoordinator {
public:
    virtual ~IMainFrameCoordinator() = default;

    virtual IMainFrameListener* Listener() = 0;
    virtual HRESULT Initialize() = 0;
    virtual void Shutdown() = 0;
    // The device check; on resume the active device controller is first marked as changed.
    virtual void OnDeviceStateChanged() = 0;
    virtual void MarkActiveDeviceModified() = 0;
    virtual void OpenSettingsSheet() = 0;
    virtual void OpenDeleteDialog(int kind) = 0;
    virtual void OpenSyncSelectDialog(int kind) = 0;
    virtual void ShowLogDialog() = 0;
};

// What the window hands the coordinator it creates.
struct MainFrameCoordinatorArgs {
    IMainFrameView* frame = nullptr;
    HMODULE resourceModule = nullptr;
    int uiMode = 0;
    std::wstring languageCode;
};

using MainFrameCoordinatorFactory =
    std::function<std::unique_ptr<IMainFrameCoordinator>(const MainFrameCoordinatorArgs&)>;
