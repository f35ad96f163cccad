#pragma once
// The main window is laid out in the pixels of a 96-DPI screen. On a screen of 120 DPI or more it
// is drawn a quarter larger, from the skin set drawn for 120 DPI, so that it stays sharp; this
// converts between the layout's pixels and the screen's.

#include <windows.h>

class CSkinScale {
public:
    static constexpr int kBaseDpi = 96;
    static constexpr int kLargeDpi = 120;
    // The 120-DPI skin set's resource ids are those of the 96-DPI set plus this.
    static constexpr UINT kLargeSetOffset = 1000;

    // The set for a screen: 120 DPI from 120 up, else 96.
    explicit CSkinScale(int screenDpi = kBaseDpi) : dpi_(screenDpi >= kLargeDpi ? kLargeDpi : kBaseDpi) {}
    // The DPI of the primary screen as this process sees it (96 for a program that is not DPI-aware).
    static int ScreenDpi();

    int Dpi() const { return dpi_; }
    // The id of a skin image in this set; 0 (no image) stays 0.
    UINT SkinId(UINT id) const { return id != 0 && dpi_ == kLargeDpi ? id + kLargeSetOffset : id; }
    int ToScreen(int layout) const { return MulDiv(layout, dpi_, kBaseDpi); }
    // The width and height are scaled as sizes, so that a control is as large as its image.
    RECT ToScreen(const RECT& layout) const;
    // The layout pixel a screen pixel lies in.
    POINT ToLayout(POINT screen) const;

private:
    int dpi_;
};
