#pragma once
// The wizard's command line: the main program starts it with "-WithoutMutexCheck" first, and only
// that exact first argument (case-sensitive) spares the probe of the main program's mutex. Every
// other argument is ignored.

#include <string>
#include <vector>

constexpr wchar_t kWithoutMutexCheckSwitch[] = L"-WithoutMutexCheck";

// arguments: the program's arguments without the program name.
bool ShouldProbeMainProgram(const std::vector<std::wstring>& arguments);
// The process's own arguments, without the program name.
std::vector<std::wstring> ProcessArguments();
