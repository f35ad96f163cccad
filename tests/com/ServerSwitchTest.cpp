#include "platform/com/ServerSwitch.h"
#include "platform/com/CServerRegistration.h"

#include <gtest/gtest.h>

TEST(ServerSwitch, ReadsTheSwitchesCaseBlindWithEitherMarker) {
    const struct {
        const wchar_t* argument;
        ServerSwitch expected;
    } kCases[] = {
        {L"-RegServer", ServerSwitch::RegServer},   {L"/regserver", ServerSwitch::RegServer},
        {L"-UNREGSERVER", ServerSwitch::UnregServer}, {L"/Embedding", ServerSwitch::Embedding},
        {L"-Automation", ServerSwitch::Automation}, {L"RegServer", ServerSwitch::None},
        {L"-RegServerX", ServerSwitch::None},       {L"-", ServerSwitch::None},
        {L"", ServerSwitch::None},                  {nullptr, ServerSwitch::None},
    };
    for (const auto& entry : kCases) {
        SCOPED_TRACE(entry.argument ? entry.argument : L"(null)");
        EXPECT_EQ(entry.expected, ServerSwitchOf(entry.argument));
    }
}

TEST(ServerRegistration, QuotesALocalServerPathOnlyWhenItHoldsASpace) {
    EXPECT_EQ(L"C:\\Quillbay\\Quillbay.exe", CServerRegistration::LocalServerCommand(L"C:\\Quillbay\\Quillbay.exe"));
    EXPECT_EQ(L"\"C:\\Program Files\\Quillbay\\Quillbay.exe\"",
              CServerRegistration::LocalServerCommand(L"C:\\Program Files\\Quillbay\\Quillbay.exe"));
}
