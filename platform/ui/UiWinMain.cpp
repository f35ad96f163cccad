// The entry point of programs built on the framework (target qb_ui_main): the application
// object, built by static initialisation, takes over from here.

#include <windows.h>

#include "platform/ui/UiApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    CUiApp* app = CUiApp::Current();
    return app != nullptr ? app->Main(instance) : -1;
}
