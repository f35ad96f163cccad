#pragma once
// The test program's application: opens the frame as its main window.

#include <memory>

#include "platform/ui/UiApp.h"
#include "tests/ui/DemoEventLog.h"
#include "tests/ui/DemoFrame.h"

class CDemoApp : public CUiApp {
public:
    CDemoApp(CDemoEventLog& log, HMODULE language) : log_(log), language_(language) {}

    BOOL InitInstance() override;
    int ExitInstance() override;

    bool failInit = false;
    // Ends the program as soon as its window is up.
    bool quitAtOnce = false;
    CDemoFrame* Frame() const { return frame_.get(); }

private:
    CDemoEventLog& log_;
    HMODULE language_;
    std::unique_ptr<CDemoFrame> frame_;
};
