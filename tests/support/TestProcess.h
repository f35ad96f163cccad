#pragma once
// A program started by a test, e.g. one whose windows the test drives. A process still running
// when the object goes is ended, so a failed test leaves nothing behind.

#include <windows.h>

#include <string>

class CTestProcess {
public:
    CTestProcess() = default;
    ~CTestProcess();
    CTestProcess(const CTestProcess&) = delete;
    CTestProcess& operator=(const CTestProcess&) = delete;

    // program: full path; arguments: the rest of the command line.
    bool Start(const std::wstring& program, const std::wstring& arguments);
    DWORD Id() const { return id_; }
    // True when the process ended within the time; its exit code then.
    bool Wait(DWORD timeoutMs, DWORD* exitCode = nullptr);

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};
