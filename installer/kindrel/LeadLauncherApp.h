#pragma once
// The setup launcher: the first program of the installation. It runs no window of its own; its
// whole work is InitInstance.

#include <string>

class CLeadLauncherApp {
public:
    // Checks the Windows version, then starts "Launcher.exe" beside the program or tells the user
    // why not. Returns FALSE: the program ends at once.
    int InitInstance();
};

// Windows XP (20501) and later: platform x 10,000 + major x 100 + minor above 20500.
bool IsSupportedOs();
// The program's folder with its trailing backslash (ANSI, as the launcher's path is handed on).
std::string GetModuleDirectory();
// Starts the launcher without waiting; false without a message when it is missing or won't start.
bool RunLauncher();
