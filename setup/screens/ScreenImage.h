#pragma once
// A screen's picture: a PNG of the program's resources turned once into a premultiplied 32-bit
// bitmap, so painting needs only GDI's AlphaBlend and no GDI+ object outlives the load.

#include <windows.h>

class CScreenImage {
public:
    CScreenImage() = default;
    ~CScreenImage();
    CScreenImage(const CScreenImage&) = delete;
    CScreenImage& operator=(const CScreenImage&) = delete;

    // A "PNG" resource of the module; false leaves the image empty.
    bool Load(HMODULE module, UINT id);
    bool IsLoaded() const { return bitmap_ != nullptr; }
    // Blends the picture, scaled to the rectangle, over what the DC holds.
    bool Draw(HDC dc, int x, int y, int width, int height) const;

private:
    HBITMAP bitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};
