#include "tests/support/WindowCapture.h"

#include <objidl.h>
#include <gdiplus.h>

#include <set>

namespace {

// PNG encoder of GDI+'s built-in codecs.
const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

bool CopyWindowPixels(HWND hwnd, int width, int height, std::vector<uint32_t>& pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (bitmap == nullptr || memory == nullptr) {
        if (bitmap != nullptr) DeleteObject(bitmap);
        if (memory != nullptr) DeleteDC(memory);
        return false;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    // The window's own surface holds what it and its children painted; PrintWindow is the
    // fallback for a window whose surface cannot be read.
    // The client area as painted, children included. PrintWindow is no substitute: Wine's leaves
    // child controls out, and the caption belongs to the window manager, which Xvfb lacks.
    // Another process's window surface is out of reach; its pixels are read from the screen,
    // where the window must then be uncovered.
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    const bool ownWindow = owner == GetCurrentProcessId();
    POINT origin{0, 0};
    if (!ownWindow) ClientToScreen(hwnd, &origin);
    HWND source = ownWindow ? hwnd : nullptr;
    HDC window = GetDC(source);
    const bool copied =
        window != nullptr && BitBlt(memory, 0, 0, width, height, window, origin.x, origin.y, SRCCOPY) != FALSE;
    if (window != nullptr) ReleaseDC(source, window);
    GdiFlush();
    if (copied) {
        const auto* source = static_cast<const uint32_t*>(bits);
        pixels.assign(source, source + static_cast<size_t>(width) * static_cast<size_t>(height));
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return copied;
}

}  // namespace

bool CWindowCapture::Capture(HWND hwnd) {
    width_ = height_ = 0;
    pixels_.clear();
    RECT rect;
    if (hwnd == nullptr || !GetClientRect(hwnd, &rect)) return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (!CopyWindowPixels(hwnd, width, height, pixels_)) return false;
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != GetCurrentProcessId()) {
        // Another process paints in its own time: take the picture once two in a row agree.
        std::vector<uint32_t> previous;
        for (int attempt = 0; attempt < 20 && previous != pixels_; ++attempt) {
            previous.swap(pixels_);
            Sleep(100);
            if (!CopyWindowPixels(hwnd, width, height, pixels_)) return false;
        }
    }
    width_ = width;
    height_ = height;
    return true;
}

uint32_t CWindowCapture::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] & 0xFFFFFF;
}

size_t CWindowCapture::DistinctColours(int step) const {
    if (step <= 0) step = 1;
    std::set<uint32_t> colours;
    for (int y = 0; y < height_; y += step) {
        for (int x = 0; x < width_; x += step) colours.insert(Pixel(x, y));
    }
    return colours.size();
}

bool CWindowCapture::LooksBlank() const {
    if (pixels_.empty()) return true;
    const size_t colours = DistinctColours();
    if (colours < 2) return true;
    for (int y = 0; y < height_; y += 4) {
        for (int x = 0; x < width_; x += 4) {
            if (Pixel(x, y) != 0) return false;
        }
    }
    return true;
}

bool CWindowCapture::SavePng(const std::wstring& path) const {
    if (pixels_.empty()) return false;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
    bool saved = false;
    {
        // Pixels are copied into an opaque bitmap: the window's unused alpha byte is not transparency.
        std::vector<uint32_t> opaque(pixels_);
        for (uint32_t& pixel : opaque) pixel |= 0xFF000000u;
        Gdiplus::Bitmap bitmap(width_, height_, width_ * 4, PixelFormat32bppARGB,
                               reinterpret_cast<BYTE*>(opaque.data()));
        saved = bitmap.Save(path.c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
    }
    Gdiplus::GdiplusShutdown(token);
    return saved;
}

std::wstring ScreenshotPath(const std::wstring& name) {
    wchar_t current[MAX_PATH] = {};
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, current);
    std::wstring folder = length > 0 && length < MAX_PATH ? std::wstring(current, length) : L".";
    folder += L"\\screenshots";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\" + name + L".png";
}
