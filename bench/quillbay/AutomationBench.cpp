// Quillbay's automation server from a script: the cold start of the server to the first event a
// script hears, and the round trip of one call from cscript, beside one call to a built-in
// automation object in the same run. The server is the test server (its scripted coordinator
// answers with events), registered for the run and unregistered after it.

#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/BenchSupport.h"

namespace {

const int kCalls = 2000;

std::wstring ModuleFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// Runs a command line to its end and returns what it printed.
std::string Run(const std::wstring& commandLine) {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return "FAILED: no pipe\n";
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    std::wstring line = commandLine;
    const BOOL started =
        CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(readEnd, buffer, sizeof(buffer), &read, nullptr) && read > 0) output.append(buffer, read);
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        output = "FAILED: could not start the command\n";
    }
    CloseHandle(readEnd);
    return output;
}

void PrintLines(const std::string& output) {
    size_t begin = 0;
    while (begin < output.size()) {
        size_t end = output.find('\n', begin);
        if (end == std::string::npos) end = output.size();
        std::string line = output.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.find(":fixme:") == std::string::npos) std::printf("%s\n", line.c_str());
        begin = end + 1;
    }
}

}  // namespace

int main() {
    const std::wstring folder = ModuleFolder();
    const std::wstring server = L"\"" + folder + L"QuillbayTestServer.exe\"";
    const std::wstring script = L"cscript //nologo \"" + folder + L"automation_bench.js\" ";
    Run(server + L" -RegServer");
    PrintLines(Run(script + L"baseline " + std::to_wstring(kCalls)));
    const double start = bench::Now();
    PrintLines(Run(script + L"quillbay " + std::to_wstring(kCalls)));
    std::printf("whole script run (start, %d calls, end): %.0f ms\n", kCalls, (bench::Now() - start) * 1000.0);
    Run(server + L" -UnregServer");
    return 0;
}
