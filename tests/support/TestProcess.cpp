#include "tests/support/TestProcess.h"

CTestProcess::~CTestProcess() {
    if (process_ == nullptr) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

bool CTestProcess::Start(const std::wstring& program, const std::wstring& arguments) {
    if (process_ != nullptr) return false;
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION information{};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &information)) {
        return false;
    }
    CloseHandle(information.hThread);
    process_ = information.hProcess;
    id_ = information.dwProcessId;
    return true;
}

bool CTestProcess::Wait(DWORD timeoutMs, DWORD* exitCode) {
    if (process_ == nullptr || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode != nullptr) GetExitCodeProcess(process_, exitCode);
    return true;
}
