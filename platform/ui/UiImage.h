#pragma once
// A picture decoded by GDI+ (PNG, BMP, JPEG, GIF ...) from a file, a byte buffer or a resource,
// for drawing or for a GDI bitmap. Needs a running CUiGdiplusSession. The image keeps its own
// copy of the encoded bytes, so a buffer can be freed once loaded.

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>

namespace Gdiplus {
class Bitmap;
}

class CUiImage {
public:
    CUiImage();
    ~CUiImage();
    CUiImage(const CUiImage&) = delete;
    CUiImage& operator=(const CUiImage&) = delete;

    // Each load drops the previous picture first; false leaves the image empty.
    bool LoadFile(const std::wstring& path);
    bool LoadMemory(const void* bytes, size_t size);
    // A resource of the given type ("PNG", RT_BITMAP is not for this) in a module.
    bool LoadResource(HMODULE module, UINT id, const wchar_t* type);
    void Reset();

    bool IsLoaded() const { return bitmap_ != nullptr; }
    UINT Width() const;
    UINT Height() const;
    // A new 32-bit GDI bitmap of the picture over the background colour; null on failure. The
    // caller deletes it.
    HBITMAP CreateHbitmap(COLORREF background = RGB(0, 0, 0)) const;
    // Draws the picture scaled into the rectangle, with its transparency.
    bool Draw(HDC dc, int x, int y, int width, int height) const;

private:
    std::unique_ptr<Gdiplus::Bitmap> bitmap_;
};
