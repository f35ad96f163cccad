#pragma once
// The wizard program: prepares the process (data folder, the decoding token, frame size), reads
// the command line and runs the frame.

#include <memory>

#include "platform/ui/UiApp.h"
#include "setup/frame/MainFrame.h"
#include "setup/screens/SetupScreens.h"

class CHalvixSetup2App : public CUiApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    CSetupScreens screens_;
    std::unique_ptr<CMainFrame> frame_;
};
