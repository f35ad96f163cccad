#pragma once
// A picture of a window's client area as it stands on screen, for tests: saved as PNG into the build folder so
// a reviewer can look at it, and sampled so an empty or black window fails.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class CWindowCapture {
public:
    // Repaints the window and copies its client area, children included, into a 32-bit picture;
    // false when nothing was captured.
    bool Capture(HWND hwnd);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // 0x00RRGGBB of a pixel (top-left origin); 0 outside the picture.
    uint32_t Pixel(int x, int y) const;
    // Distinct colours among the pixels of a grid of the given step.
    size_t DistinctColours(int step = 4) const;
    // True when the picture is empty, all one colour, or all black.
    bool LooksBlank() const;

    // Writes the picture as PNG with GDI+; false on failure.
    bool SavePng(const std::wstring& path) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};

// <current folder>\screenshots\<name>.png; the folder is made when missing. ctest runs each test
// in its build folder, so the pictures land beside the test.
std::wstring ScreenshotPath(const std::wstring& name);
