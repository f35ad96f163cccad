#pragma once
// Shared by the logging library's tests: scratch folders, configurations and file reading.

#include <string>
#include <vector>

#include "tests/util/UtilTestSupport.h"
#include "updater/oplogsys/LogSysInfo.h"
#include "updater/oplogsys/OutputLogSystem.h"

namespace oplogtest {

// A unique log name, so tests never share the process-wide per-thread logs.
std::wstring UniqueLogName();
// A configuration writing files into `folder` and admitting the program's subject from
// minLevel to maxLevel.
opLogSys::CLogSysInfo* MakeFileConfiguration(const std::wstring& folder, int minLevel, int maxLevel);
// The files directly in `folder`.
std::vector<std::wstring> FilesIn(const std::wstring& folder);
// The whole file, read while a log may still hold it open for writing.
std::string ReadSharedFile(const std::wstring& path);
// The file's lines (without CR LF); the last one need not end with CR LF.
std::vector<std::string> ReadLines(const std::wstring& path);
// The text as the log files hold it: the ANSI code page.
std::string Ansi(const std::wstring& text);

}  // namespace oplogtest
