#include "setup/frame/SetupCommandLine.h"

#include <gtest/gtest.h>

namespace {

TEST(SetupCommandLineTest, OnlyTheExactFirstArgumentSparesTheMainProgramProbe) {
    const struct {
        std::vector<std::wstring> arguments;
        bool probe;
    } cases[] = {
        {{}, true},
        {{L"-WithoutMutexCheck"}, false},
        {{L"-WithoutMutexCheck", L"/extra"}, false},
        {{L"/x", L"-WithoutMutexCheck"}, true},
        {{L"-withoutmutexcheck"}, true},
        {{L"-WITHOUTMUTEXCHECK"}, true},
        {{L"/WithoutMutexCheck"}, true},
        {{L"-WithoutMutexCheck "}, true},
        {{L"-WithoutMutexChecks"}, true},
        {{L""}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.arguments.size() << (c.arguments.empty() ? "" : " first"));
        EXPECT_EQ(c.probe, ShouldProbeMainProgram(c.arguments));
    }
}

}  // namespace
