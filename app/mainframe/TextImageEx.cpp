#include "app/mainframe/TextImageEx.h"

void CTextImageEx::SetText(const std::wstring& newText) {
    text = newText;
    HDC dc = GetDC();
    if (!dc) {
        return;
    }
    SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColour = SetTextColor(dc, textColour);
    // Unsmoothed letters keep their pixels either letter or background, which FixAlpha needs.
    HFONT font = CreateFontW(fontHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_RASTER_PRECIS, CLIP_CHARACTER_PRECIS, NONANTIALIASED_QUALITY, VARIABLE_PITCH,
                             faceName.c_str());
    HGDIOBJ previousFont = font ? SelectObject(dc, font) : nullptr;
    RECT all = {0, 0, GetWidth(), GetHeight()};
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    FillRect(dc, &all, black);
    DeleteObject(black);
    GdiFlush();
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &all, format);
    GdiFlush();
    if (previousFont) {
        SelectObject(dc, previousFont);
    }
    SetTextColor(dc, previousColour);
    ReleaseDC();
    if (font) {
        DeleteObject(font);
    }
    FixAlpha();
}
