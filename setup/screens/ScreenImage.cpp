#include "setup/screens/ScreenImage.h"

#include <objidl.h>
#include <gdiplus.h>
#include <shlwapi.h>

#include <cstddef>
#include <cstring>

#include "platform/ui/UiGdiplusSession.h"

CScreenImage::~CScreenImage() {
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
}

bool CScreenImage::Load(HMODULE module, UINT id) {
    if (bitmap_ != nullptr) {
        DeleteObject(bitmap_);
        bitmap_ = nullptr;
    }
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (resource == nullptr) return false;
    const void* bytes = LockResource(LoadResource(module, resource));
    const DWORD size = SizeofResource(module, resource);
    if (bytes == nullptr || size == 0) return false;

    // GDI+ runs only while the picture is decoded.
    CUiGdiplusSession gdiplus;
    if (!gdiplus.IsStarted()) return false;
    IStream* stream = SHCreateMemStream(static_cast<const BYTE*>(bytes), size);
    if (stream == nullptr) return false;
    bool loaded = false;
    {
        Gdiplus::Bitmap picture(stream);
        const int width = static_cast<int>(picture.GetWidth());
        const int height = static_cast<int>(picture.GetHeight());
        Gdiplus::BitmapData pixels{};
        const Gdiplus::Rect whole(0, 0, width, height);
        // Premultiplied pixels are what AlphaBlend with AC_SRC_ALPHA expects.
        if (picture.GetLastStatus() == Gdiplus::Ok && width > 0 && height > 0 &&
            picture.LockBits(&whole, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &pixels) == Gdiplus::Ok) {
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof(info.bmiHeader);
            info.bmiHeader.biWidth = width;
            info.bmiHeader.biHeight = -height;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            void* bits = nullptr;
            bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
            if (bitmap_ != nullptr) {
                for (int row = 0; row < height; ++row) {
                    memcpy(static_cast<BYTE*>(bits) + static_cast<size_t>(row) * width * 4,
                           static_cast<const BYTE*>(pixels.Scan0) + static_cast<ptrdiff_t>(row) * pixels.Stride,
                           static_cast<size_t>(width) * 4);
                }
                width_ = width;
                height_ = height;
                loaded = true;
            }
            picture.UnlockBits(&pixels);
        }
    }
    stream->Release();
    return loaded;
}

bool CScreenImage::Draw(HDC dc, int x, int y, int width, int height) const {
    if (bitmap_ == nullptr) return false;
    HDC source = CreateCompatibleDC(dc);
    if (source == nullptr) return false;
    HGDIOBJ old = SelectObject(source, bitmap_);
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const BOOL drawn = AlphaBlend(dc, x, y, width, height, source, 0, 0, width_, height_, blend);
    SelectObject(source, old);
    DeleteDC(source);
    return drawn != FALSE;
}
