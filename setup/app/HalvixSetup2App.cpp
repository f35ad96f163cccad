#include "setup/app/HalvixSetup2App.h"

#include <commctrl.h>

#include <new>

#include "library/media/decode/ITranscode2.h"
#include "library/util/DataFolders.h"
#include "setup/frame/SetupCommandLine.h"
#include "setup/manager/SetupCommonManager.h"
#include "setup/wizard/SetupFrameLayout.h"

namespace {
// Every common-control class.
constexpr DWORD kAllControlClasses = 0xFF;
}  // namespace

CHalvixSetup2App theApp;

BOOL CHalvixSetup2App::InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), kAllControlClasses};
    InitCommonControlsEx(&controls);
    if (!CUiApp::InitInstance()) return FALSE;

    if (!CreateUserDataFolder()) return FALSE;
    // One decoding graph at a time across this program and the main program.
    CreateTranscodeSingleModeEvent();
    SelectFrameSize();
    const bool probeMainProgram = ShouldProbeMainProgram(ProcessArguments());

    CMainFrame::Parts parts;
    parts.screens = &screens_;
    parts.createManager = [](ISetupListener& listener) -> std::unique_ptr<ISetupManager> {
        return std::unique_ptr<ISetupManager>(new (std::nothrow) CSetupCommonManager(&listener));
    };
    frame_.reset(new (std::nothrow) CMainFrame(parts));
    if (!frame_) return FALSE;
    if (!frame_->SetupScreens(probeMainProgram)) return FALSE;

    SetMainWnd(frame_.get());
    ShowWindow(frame_->Hwnd(), SW_SHOWDEFAULT);
    ShowWindow(frame_->Hwnd(), SW_SHOW);
    UpdateWindow(frame_->Hwnd());
    return TRUE;
}

int CHalvixSetup2App::ExitInstance() {
    frame_.reset();
    CloseTranscodeSingleModeEvent();
    return CUiApp::ExitInstance();
}
