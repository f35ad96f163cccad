#pragma once
// A static text or picture control.

#include "platform/ui/UiControl.h"

class CUiStatic : public CUiControl {
public:
    bool Create(const std::wstring& text, DWORD style, const RECT& rect, HWND parent, int controlId = -1) {
        return CreateControl(L"STATIC", text, style, rect, parent, controlId);
    }
    // Shows a bitmap (SS_BITMAP controls); the previous one is returned for the caller to free.
    HBITMAP SetBitmap(HBITMAP bitmap) const {
        return reinterpret_cast<HBITMAP>(Send(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    }
};
