#pragma once
// The program's one application object, built as a static object (so every static object
// declared before it, and every registered message, exists first). The entry point runs
// InitInstance; when it succeeds the message loop runs until WM_QUIT; ExitInstance always runs,
// also after a FALSE InitInstance, and its result is the process exit code.

#include <windows.h>

#include "platform/ui/UiOleSession.h"

class CUiCommandLineInfo;
class CUiWnd;

class CUiApp {
public:
    // Becomes the current application.
    CUiApp();
    virtual ~CUiApp();
    CUiApp(const CUiApp&) = delete;
    CUiApp& operator=(const CUiApp&) = delete;

    static CUiApp* Current();

    // Optional: start-up; FALSE ends the program (ExitInstance still runs).
    virtual BOOL InitInstance();
    // Optional: shut-down; the base answers the message loop's exit code (0 when it never ran).
    virtual int ExitInstance();
    // Optional: the message loop; the WM_QUIT code.
    virtual int Run();
    // Optional: offers a message to the window it is for and each of its parents, innermost
    // first, before it is translated and dispatched.
    virtual BOOL PreTranslateMessage(MSG* message);

    // The whole life of the application; called by the entry point.
    int Main(HINSTANCE instance);

    HINSTANCE Instance() const { return instance_; }
    CUiWnd* MainWnd() const { return mainWnd_; }
    // The window whose destruction ends the loop; null for none.
    void SetMainWnd(CUiWnd* window) { mainWnd_ = window; }

    // Splits the process command line and hands each argument to info.ParseParam.
    void ParseCommandLine(CUiCommandLineInfo& info) const;
    // OleInitialize for the user-interface thread, undone after ExitInstance.
    bool InitOle();

private:
    HINSTANCE instance_ = nullptr;
    CUiWnd* mainWnd_ = nullptr;
    int exitCode_ = 0;
    CUiOleSession ole_;
};
