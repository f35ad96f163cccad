// Runs Debian's tag tools as child processes for the cross-checks (native build only).
#pragma once

#include <string>

#include "tests/tags/TagTestSupport.h"

namespace tagtest {

// Runs a shell command with its standard error joined to its output; gives the exit status.
int RunTool(const std::string& command, std::string* output);
// The same, expecting success; gives the output.
std::string RunToolOk(const std::string& command);
// Lower-case hex digits, as the tools' dumps print bytes.
std::string Hex(const Bytes& bytes);

}  // namespace tagtest
