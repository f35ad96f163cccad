#include "setup/frame/SetupCommandLine.h"

#include <windows.h>
#include <shellapi.h>

bool ShouldProbeMainProgram(const std::vector<std::wstring>& arguments) {
    return arguments.empty() || arguments.front() != kWithoutMutexCheckSwitch;
}

std::vector<std::wstring> ProcessArguments() {
    std::vector<std::wstring> arguments;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (argv == nullptr) return arguments;
    for (int i = 1; i < count; ++i) arguments.emplace_back(argv[i]);
    LocalFree(argv);
    return arguments;
}
