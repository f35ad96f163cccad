#include <gtest/gtest.h>

#include "tests/installer/InstallerTestSupport.h"

namespace {

class LedrinTest : public ::testing::Test {
protected:
    CInstallerRun run_{L"Ledrin.exe", L"rundll32.exe"};
};

}  // namespace

TEST_F(LedrinTest, RefusalsExitWithTheirCodesAndStartNothing) {
    ASSERT_TRUE(run_.IsValid());
    const std::wstring tooLong = run_.Folder().Join(std::wstring(240, L'g') + L".gadget");
    ASSERT_TRUE(run_.Folder().WriteFile(std::wstring(240, L'g') + L".gadget", "gadget"));
    const struct {
        std::wstring arguments;
        DWORD code;
    } cases[] = {
        {L"", ERROR_INVALID_PARAMETER},
        {L"\"" + run_.Folder().Join(L"missing.gadget") + L"\"", ERROR_FILE_NOT_FOUND},
        // Too long for the handler's parameters: refused rather than cut to another name.
        {L"\"" + tooLong + L"\"", ERROR_FILENAME_EXCED_RANGE},
    };
    for (const auto& c : cases) EXPECT_EQ(run_.Run(c.arguments), c.code) << c.arguments;
    EXPECT_EQ(run_.Recorded(500), L"");
}

TEST_F(LedrinTest, ExistingFileIsOpenedByTheProgramRegisteredForItsType) {
    ASSERT_TRUE(run_.IsValid());
    // The system's file protocol handler opens the file with the program its type names: here the
    // recorder, for a file type of this run's own.
    CFileTypeRegistration type(run_.Folder().Join(L"rundll32.exe"));
    ASSERT_TRUE(type.IsValid());
    const std::wstring name = L"my clock" + type.Extension();
    ASSERT_TRUE(run_.Folder().WriteFile(name, "gadget"));
    const std::wstring path = run_.Folder().Join(name);
    EXPECT_EQ(run_.Run(L"\"" + path + L"\" ignored"), 0u);
    const std::wstring recorded = run_.Recorded(15000);
    EXPECT_NE(recorded.find(L"\"" + path + L"\""), std::wstring::npos) << recorded;
    EXPECT_EQ(recorded.find(L"ignored"), std::wstring::npos) << recorded;
}
