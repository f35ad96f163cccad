// The entry point of programs built on the framework. A static library member: only programs
// that need wWinMain (and do not define one) take it, test programs keep their own main.

#include <windows.h>

#include "platform/ui/UiApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    CUiApp* app = CUiApp::Current();
    return app != nullptr ? app->Main(instance) : -1;
}
