#pragma once
// A DIB-section image that a layered window can blend: loaded from a "PNG" resource through GDI+,
// 32 bits per pixel when the PNG carries alpha and 24 otherwise. Alpha is prepared once at load
// (premultiplied) so that every paint is a single AlphaBlend. Needs a running GDI+ session.

#include <windows.h>
#include <objidl.h>

class CImageEx {
public:
    CImageEx() = default;
    virtual ~CImageEx();
    CImageEx(const CImageEx&) = delete;
    CImageEx& operator=(const CImageEx&) = delete;

    // A blank top-down DIB section; 32-bit images are fully transparent black.
    bool Create(int width, int height, int bitsPerPixel);
    void Destroy();
    // Decodes a PNG (or any picture GDI+ reads) from a stream; replaces the current image.
    HRESULT Load(IStream* stream);
    HRESULT LoadFromMemory(const void* bytes, size_t size);

    // Every pixel with a non-zero colour byte becomes opaque; black keeps its alpha. 32 bpp only.
    HRESULT FixAlpha();
    // Colour := colour * alpha / 255, truncated. 32 bpp only.
    HRESULT PremultiplyAlpha();

    bool IsNull() const { return bitmap_ == nullptr; }
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    int GetBPP() const { return bitsPerPixel_; }
    int GetPitch() const { return pitch_; }
    BYTE* GetPixelAddress(int x, int y) const;
    HBITMAP GetBitmap() const { return bitmap_; }

    // The image's bitmap selected into a memory DC; takes nest and the last release frees the DC.
    HDC GetDC();
    void ReleaseDC();

    // Blends a premultiplied 32-bit image (or copies a 24-bit one) onto the target, scaled.
    bool Draw(HDC target, int x, int y, int width, int height) const;
    bool Draw(HDC target, int x, int y) const { return Draw(target, x, y, width_, height_); }

private:
    HBITMAP bitmap_ = nullptr;
    BYTE* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int pitch_ = 0;
    int bitsPerPixel_ = 0;
    HDC dc_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    int dcTakes_ = 0;
};

// Loads resource type "PNG" with the id from the module into the image. S_OK, or E_FAIL when the
// resource is missing, empty, cannot be copied or does not decode.
HRESULT LoadPngResource(HMODULE module, CImageEx& image, UINT id);
