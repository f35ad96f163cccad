#pragma once
// A progress bar with a 32-bit range.

#include <commctrl.h>

#include "platform/ui/UiControl.h"

class CUiProgressCtrl : public CUiControl {
public:
    bool Create(DWORD style, const RECT& rect, HWND parent, int controlId) {
        return CreateControl(PROGRESS_CLASSW, L"", style, rect, parent, controlId);
    }
    void SetRange(int lower, int upper) const {
        Send(PBM_SETRANGE32, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
    }
    // The previous position.
    int SetPos(int position) const { return static_cast<int>(Send(PBM_SETPOS, static_cast<WPARAM>(position))); }
    int GetPos() const { return static_cast<int>(Send(PBM_GETPOS)); }
};
