#pragma once
// The 15-pixel "MS Shell Dlg 2" font the program's resizable dialogs give every control.

#include <windows.h>

class CDialogFont {
public:
    CDialogFont();
    ~CDialogFont();
    CDialogFont(const CDialogFont&) = delete;
    CDialogFont& operator=(const CDialogFont&) = delete;

    HFONT Handle() const { return font_; }
    // Sets the font on every child window of the dialog.
    void ApplyToChildren(HWND dialog) const;

private:
    static BOOL CALLBACK SetFontOnChild(HWND child, LPARAM font);

    HFONT font_;
};
