#include "tests/tags/ToolRun.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace tagtest {

int RunTool(const std::string& command, std::string* output) {
    output->clear();
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return -1;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof(buffer), pipe)) > 0) output->append(buffer, got);
    return pclose(pipe);
}

std::string RunToolOk(const std::string& command) {
    std::string output;
    EXPECT_EQ(0, RunTool(command, &output)) << command << "\n" << output;
    return output;
}

std::string Hex(const Bytes& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (uint8_t b : bytes) hex += kDigits[b >> 4], hex += kDigits[b & 15];
    return hex;
}

}  // namespace tagtest
