#pragma once
// One text of the skin drawn into an image of its own, so that it blends into the layered window
// like any other skin image: the letters become opaque, the background stays transparent.

#include <windows.h>

#include <string>

#include "app/mainframe/ImageEx.h"

class CTextImageEx : public CImageEx {
public:
    CTextImageEx() = default;

    // Stores the text and redraws the whole image with it; call again with the stored text after
    // changing a field below.
    void SetText(const std::wstring& text);
    const std::wstring& Text() const { return text; }

    bool bold = false;
    std::wstring faceName = L"MS Shell Dlg 2";
    std::wstring text;
    // Not black: black is what FixAlpha keeps transparent.
    COLORREF textColour = RGB(1, 1, 1);
    UINT format = DT_CENTER;
    int fontHeight = 14;
};
