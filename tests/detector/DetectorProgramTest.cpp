#include <gtest/gtest.h>

#include "tests/installer/InstallerTestSupport.h"

namespace {

HWND WaitForDetectorWindow(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    HWND window = nullptr;
    while (!(window = FindWindowW(nullptr, L"QuillbayDetector")) && GetTickCount() - start < timeoutMs) Sleep(20);
    return window;
}

}  // namespace

TEST(DetectorProgramTest, CloseWithoutARunningDetectorEndsAtOnce) {
    CInstallerRun run(L"QuillbayDetector.exe", L"Quillbay.exe");
    ASSERT_TRUE(run.IsValid());
    EXPECT_EQ(0u, run.Run(L"-close"));
    EXPECT_EQ(nullptr, FindWindowW(nullptr, L"QuillbayDetector"));
}

TEST(DetectorProgramTest, OneInstanceRunsHiddenAndCloseEndsIt) {
    CInstallerRun run(L"QuillbayDetector.exe", L"Quillbay.exe");
    ASSERT_TRUE(run.IsValid());
    HANDLE first = run.Start(L"");
    ASSERT_NE(nullptr, first);
    HWND window = WaitForDetectorWindow(15000);
    ASSERT_NE(nullptr, window);
    EXPECT_FALSE(IsWindowVisible(window));
    // A second start ends at once and leaves the first running.
    EXPECT_EQ(0u, run.Run(L""));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(first, 200));
    // Without automatic start a device change starts nothing.
    SendMessageW(window, WM_DEVICECHANGE, 7, 0);
    EXPECT_EQ(L"", run.Recorded(1500));
    EXPECT_EQ(0u, run.Run(L"-close"));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(first, 10000));
    CloseHandle(first);
}
