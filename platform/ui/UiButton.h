#pragma once
// A push button, check box or radio button.

#include "platform/ui/UiControl.h"

class CUiButton : public CUiControl {
public:
    bool Create(const std::wstring& text, DWORD style, const RECT& rect, HWND parent, int controlId) {
        return CreateControl(L"BUTTON", text, style, rect, parent, controlId);
    }
    // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    int GetCheck() const { return static_cast<int>(Send(BM_GETCHECK)); }
    void SetCheck(int state) const { Send(BM_SETCHECK, static_cast<WPARAM>(state)); }
};
