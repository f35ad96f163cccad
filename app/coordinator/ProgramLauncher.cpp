#include "app/coordinator/ProgramLauncher.h"

#include <shellapi.h>

INT_PTR CShellProgramLauncher::Launch(const std::wstring& program, const std::wstring& parameters, int showCommand) {
    HINSTANCE result = ShellExecuteW(nullptr, nullptr, program.c_str(), parameters.c_str(), nullptr, showCommand);
    return reinterpret_cast<INT_PTR>(result);
}
