// A module beside the tests that is no COM server: it exports no DllGetClassObject.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
