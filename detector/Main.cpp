// QuillbayDetector: starts the main program when a supported player is plugged in.
#include <windows.h>

#include "detector/DetectorApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    CQBTNDetectorApp app;
    if (!app.InitInstance(commandLine)) return app.ExitInstance();
    app.Run();
    return app.ExitInstance();
}
