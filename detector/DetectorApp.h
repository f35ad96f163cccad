#pragma once
// The device detector's application: one instance per desktop, a hidden frame, and "-close" to end
// a running one.

#include <windows.h>

#include <memory>

#include "detector/MainFrame.h"

class CQBTNDetectorApp {
public:
    CQBTNDetectorApp() = default;
    ~CQBTNDetectorApp();
    CQBTNDetectorApp(const CQBTNDetectorApp&) = delete;
    CQBTNDetectorApp& operator=(const CQBTNDetectorApp&) = delete;

    // FALSE when this instance ends at once (another runs, or "-close" was asked).
    BOOL InitInstance(const wchar_t* commandLine);
    // Runs the message loop until the frame closes; the exit code.
    int Run();
    int ExitInstance();

private:
    HANDLE mutex_ = nullptr;
    bool ownsMutex_ = false;
    std::unique_ptr<CMainFrame> frame_;
};
