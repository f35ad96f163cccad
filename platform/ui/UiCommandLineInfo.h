#pragma once
// The program's command line, one argument at a time. Arguments that begin with "-" or "/" are
// flags and reach ParseParam without that marker. The base knows the switches every program
// shares: Embedding and Automation (started by COM) and RegServer/UnregServer.

#include <windows.h>

#include <string>

class CUiCommandLineInfo {
public:
    enum class ShellCommand { kNone, kRegServer, kUnregServer };

    virtual ~CUiCommandLineInfo() = default;

    // Optional: one argument; overrides call the base with the same arguments to keep the shared
    // switches.
    virtual void ParseParam(const wchar_t* param, BOOL isFlag, BOOL isLast);

    // Splits a whole command line (program name first, as GetCommandLineW gives it).
    void ParseCommandLine(const wchar_t* commandLine);

    bool runEmbedded = false;
    bool runAutomated = false;
    ShellCommand shellCommand = ShellCommand::kNone;
    // The first argument that is not a flag.
    std::wstring fileName;
};
