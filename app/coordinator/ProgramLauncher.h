#pragma once
// Starts other programs; tests put a recording one in its place.

#include <windows.h>

#include <string>

class IProgramLauncher {
public:
    // The shell's result: above 32 on success.
    virtual INT_PTR Launch(const std::wstring& program, const std::wstring& parameters, int showCommand) = 0;

protected:
    ~IProgramLauncher() = default;
};

// ShellExecuteW without verb and working folder.
class CShellProgramLauncher : public IProgramLauncher {
public:
    INT_PTR Launch(const std::wstring& program, const std::wstring& parameters, int showCommand) override;
};
