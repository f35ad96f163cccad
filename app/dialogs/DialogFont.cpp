#include "app/dialogs/DialogFont.h"

CDialogFont::CDialogFont()
    : font_(CreateFontW(-15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS Shell Dlg 2")) {}

CDialogFont::~CDialogFont() {
    if (font_ != nullptr) DeleteObject(font_);
}

void CDialogFont::ApplyToChildren(HWND dialog) const {
    if (font_ != nullptr) EnumChildWindows(dialog, SetFontOnChild, reinterpret_cast<LPARAM>(font_));
}

BOOL CALLBACK CDialogFont::SetFontOnChild(HWND child, LPARAM font) {
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}
