#pragma once
// Where the logging library finds its configuration and puts its files.

#include <string>

namespace opLogSys {

// The log's name, the method logs' subject and the base of every file name.
const wchar_t* GetDefaultLogName();
// Drive and folder of the program, ending with a backslash.
std::wstring GetModuleFolderPath();
// The configuration file beside the program.
std::wstring GetLogConfigPath();
// The per-user folder of the error log, created when missing, ending with a backslash.
std::wstring GetLogFolder();
// The error log: named after the program's log when a configuration file exists.
std::wstring GetErrorLogPath();
// The folder a file channel's "location" names, ending with a backslash: "desktop", "current" or
// empty (the program's folder), a relative path starting with '.' below the program's folder
// (created when missing), or any existing folder or file's folder; otherwise the program's folder.
std::wstring ResolveFolder(const std::wstring& location);

}  // namespace opLogSys
