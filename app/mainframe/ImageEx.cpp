#include "app/mainframe/ImageEx.h"

#include <gdiplus.h>

#include <cstring>
#include <memory>

CImageEx::~CImageEx() { Destroy(); }

bool CImageEx::Create(int width, int height, int bitsPerPixel) {
    Destroy();
    if (width <= 0 || height <= 0 || (bitsPerPixel != 24 && bitsPerPixel != 32)) {
        return false;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row 0 is the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel);
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap_) {
        return false;
    }
    bits_ = static_cast<BYTE*>(bits);
    width_ = width;
    height_ = height;
    bitsPerPixel_ = bitsPerPixel;
    pitch_ = ((width * bitsPerPixel + 31) / 32) * 4;
    std::memset(bits_, 0, static_cast<size_t>(pitch_) * height);
    return true;
}

void CImageEx::Destroy() {
    if (dc_) {
        SelectObject(dc_, previousBitmap_);
        DeleteDC(dc_);
        dc_ = nullptr;
        dcTakes_ = 0;
    }
    if (bitmap_) {
        DeleteObject(bitmap_);
    }
    bitmap_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = pitch_ = bitsPerPixel_ = 0;
}

HRESULT CImageEx::Load(IStream* stream) {
    Destroy();
    if (!stream) {
        return E_FAIL;
    }
    std::unique_ptr<Gdiplus::Bitmap> decoded(Gdiplus::Bitmap::FromStream(stream));
    if (!decoded || decoded->GetLastStatus() != Gdiplus::Ok) {
        return E_FAIL;
    }
    const int width = static_cast<int>(decoded->GetWidth());
    const int height = static_cast<int>(decoded->GetHeight());
    // Pictures without alpha stay 24-bit so that nobody blends them as if they had one.
    const bool hasAlpha = Gdiplus::IsAlphaPixelFormat(decoded->GetPixelFormat()) ||
                          Gdiplus::IsIndexedPixelFormat(decoded->GetPixelFormat());
    const int bpp = hasAlpha ? 32 : 24;
    if (!Create(width, height, bpp)) {
        return E_FAIL;
    }
    Gdiplus::BitmapData data = {};
    data.Width = static_cast<UINT>(width);
    data.Height = static_cast<UINT>(height);
    data.Stride = pitch_;
    data.Scan0 = bits_;
    Gdiplus::Rect all(0, 0, width, height);
    const Gdiplus::PixelFormat format = hasAlpha ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    if (decoded->LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, format, &data) !=
        Gdiplus::Ok) {
        Destroy();
        return E_FAIL;
    }
    decoded->UnlockBits(&data);
    return S_OK;
}

HRESULT CImageEx::LoadFromMemory(const void* bytes, size_t size) {
    Destroy();
    if (!bytes || size == 0) {
        return E_FAIL;
    }
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) {
        return E_FAIL;
    }
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return E_FAIL;
    }
    std::memcpy(target, bytes, size);
    GlobalUnlock(block);
    IStream* stream = nullptr;
    HRESULT result = E_FAIL;
    if (SUCCEEDED(CreateStreamOnHGlobal(block, FALSE, &stream))) {
        result = Load(stream);
        stream->Release();
    }
    GlobalFree(block);
    return SUCCEEDED(result) ? S_OK : E_FAIL;
}

HRESULT CImageEx::FixAlpha() {
    if (bitsPerPixel_ != 32) {
        return E_FAIL;
    }
    for (int y = 0; y < height_; ++y) {
        BYTE* pixel = bits_ + static_cast<size_t>(y) * pitch_;
        for (int x = 0; x < width_; ++x, pixel += 4) {
            if (pixel[0] || pixel[1] || pixel[2]) {
                pixel[3] = 255;
            }
        }
    }
    return S_OK;
}

HRESULT CImageEx::PremultiplyAlpha() {
    if (bitsPerPixel_ != 32) {
        return E_FAIL;
    }
    for (int y = 0; y < height_; ++y) {
        BYTE* pixel = bits_ + static_cast<size_t>(y) * pitch_;
        for (int x = 0; x < width_; ++x, pixel += 4) {
            const unsigned alpha = pixel[3];
            for (int c = 0; c < 3; ++c) {
                pixel[c] = static_cast<BYTE>(pixel[c] * alpha / 255);
            }
        }
    }
    return S_OK;
}

BYTE* CImageEx::GetPixelAddress(int x, int y) const {
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) {
        return nullptr;
    }
    return bits_ + static_cast<size_t>(y) * pitch_ + static_cast<size_t>(x) * (bitsPerPixel_ / 8);
}

HDC CImageEx::GetDC() {
    if (!bitmap_) {
        return nullptr;
    }
    if (dcTakes_ == 0) {
        dc_ = CreateCompatibleDC(nullptr);
        if (!dc_) {
            return nullptr;
        }
        previousBitmap_ = SelectObject(dc_, bitmap_);
    }
    ++dcTakes_;
    return dc_;
}

void CImageEx::ReleaseDC() {
    if (dcTakes_ == 0 || --dcTakes_ > 0) {
        return;
    }
    SelectObject(dc_, previousBitmap_);
    DeleteDC(dc_);
    dc_ = nullptr;
}

bool CImageEx::Draw(HDC target, int x, int y, int width, int height) const {
    if (!bitmap_ || !target) {
        return false;
    }
    HDC source = CreateCompatibleDC(target);
    if (!source) {
        return false;
    }
    HGDIOBJ previous = SelectObject(source, bitmap_);
    BOOL drawn;
    if (bitsPerPixel_ == 32) {
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        drawn = AlphaBlend(target, x, y, width, height, source, 0, 0, width_, height_, blend);
    } else if (width == width_ && height == height_) {
        drawn = BitBlt(target, x, y, width, height, source, 0, 0, SRCCOPY);
    } else {
        drawn = StretchBlt(target, x, y, width, height, source, 0, 0, width_, height_, SRCCOPY);
    }
    SelectObject(source, previous);
    DeleteDC(source);
    return drawn != FALSE;
}

HRESULT LoadPngResource(HMODULE module, CImageEx& image, UINT id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!found) {
        return E_FAIL;
    }
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0) {
        return E_FAIL;
    }
    return image.LoadFromMemory(bytes, size);
}
