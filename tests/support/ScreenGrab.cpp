#include "tests/support/ScreenGrab.h"

#include <objidl.h>
#include <gdiplus.h>

#include <set>

namespace {

const CLSID kPngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

}  // namespace

bool GrabScreenArea(const RECT& area, const std::wstring& path) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) {
        return false;
    }
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    std::set<COLORREF> colours;
    for (int y = 0; y < height; y += 4) {
        for (int x = 0; x < width; x += 4) {
            colours.insert(GetPixel(memory, x, y));
        }
    }
    SelectObject(memory, previous);
    bool saved = false;
    {
        Gdiplus::GdiplusStartupInput input;
        ULONG_PTR token = 0;
        if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) {
            {
                Gdiplus::Bitmap picture(bitmap, nullptr);
                saved = picture.Save(path.c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
            }
            Gdiplus::GdiplusShutdown(token);
        }
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved && colours.size() > 8;
}
