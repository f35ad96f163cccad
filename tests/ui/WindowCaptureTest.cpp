#include <gtest/gtest.h>

#include <windows.h>

#include "tests/support/WindowCapture.h"

namespace {

// A visible popup of one plain colour and nothing on it: what a window that failed to paint
// its contents looks like.
HWND CreatePlainWindow(int stockBrush) {
    static const wchar_t* const kClass = L"QbPlainCaptureWindow";
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(stockBrush));
    windowClass.lpszClassName = stockBrush == BLACK_BRUSH ? L"QbPlainCaptureBlack" : kClass;
    RegisterClassW(&windowClass);
    HWND hwnd = CreateWindowW(windowClass.lpszClassName, L"Plain", WS_POPUP | WS_VISIBLE, 50, 50, 120, 80, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    UpdateWindow(hwnd);
    return hwnd;
}

}  // namespace

TEST(WindowCaptureTest, AnEmptyOrBlackWindowLooksBlank) {
    for (int brush : {WHITE_BRUSH, BLACK_BRUSH}) {
        SCOPED_TRACE(brush);
        HWND hwnd = CreatePlainWindow(brush);
        ASSERT_NE(hwnd, nullptr);
        CWindowCapture capture;
        ASSERT_TRUE(capture.Capture(hwnd));
        EXPECT_EQ(capture.Width(), 120);
        EXPECT_EQ(capture.Height(), 80);
        EXPECT_TRUE(capture.LooksBlank());
        EXPECT_EQ(capture.DistinctColours(), 1u);
        DestroyWindow(hwnd);
    }
}

TEST(WindowCaptureTest, AWindowWithAControlDoesNotLookBlankAndSavesAsPng) {
    HWND hwnd = CreatePlainWindow(WHITE_BRUSH);
    ASSERT_NE(hwnd, nullptr);
    CreateWindowW(L"BUTTON", L"Press", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 80, 30, hwnd, nullptr,
                  GetModuleHandleW(nullptr), nullptr);
    CWindowCapture capture;
    ASSERT_TRUE(capture.Capture(hwnd));
    EXPECT_FALSE(capture.LooksBlank());
    EXPECT_EQ(capture.Pixel(110, 70), 0xFFFFFFu);
    EXPECT_NE(capture.Pixel(10, 10), capture.Pixel(50, 25));
    const std::wstring path = ScreenshotPath(L"ui_capture_button");
    ASSERT_TRUE(capture.SavePng(path));
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    ASSERT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes));
    EXPECT_GT(attributes.nFileSizeLow, 100u);
    DestroyWindow(hwnd);
}

TEST(WindowCaptureTest, NothingIsCapturedOfAMissingWindow) {
    CWindowCapture capture;
    EXPECT_FALSE(capture.Capture(nullptr));
    EXPECT_TRUE(capture.LooksBlank());
    EXPECT_FALSE(capture.SavePng(ScreenshotPath(L"ui_capture_missing")));
}
