#include "platform/ui/UiCommandLineInfo.h"

#include <shellapi.h>

void CUiCommandLineInfo::ParseParam(const wchar_t* param, BOOL isFlag, BOOL) {
    if (!isFlag) {
        if (fileName.empty()) fileName = param;
        return;
    }
    if (_wcsicmp(param, L"Embedding") == 0) {
        runEmbedded = true;
    } else if (_wcsicmp(param, L"Automation") == 0) {
        runAutomated = true;
    } else if (_wcsicmp(param, L"RegServer") == 0 || _wcsicmp(param, L"Register") == 0) {
        shellCommand = ShellCommand::kRegServer;
    } else if (_wcsicmp(param, L"UnregServer") == 0 || _wcsicmp(param, L"Unregister") == 0) {
        shellCommand = ShellCommand::kUnregServer;
    }
}

void CUiCommandLineInfo::ParseCommandLine(const wchar_t* commandLine) {
    if (commandLine == nullptr || *commandLine == L'\0') return;
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(commandLine, &count);
    if (arguments == nullptr) return;
    for (int i = 1; i < count; ++i) {
        const wchar_t* argument = arguments[i];
        const BOOL isFlag = argument[0] == L'-' || argument[0] == L'/';
        ParseParam(isFlag ? argument + 1 : argument, isFlag, i == count - 1);
    }
    LocalFree(arguments);
}
