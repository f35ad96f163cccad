// Kindrel: the installation's setup launcher.
#include <windows.h>

#include "installer/kindrel/LeadLauncherApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    CLeadLauncherApp app;
    return app.InitInstance();
}
