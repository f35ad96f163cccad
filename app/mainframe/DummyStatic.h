#pragma once
// A clickable area of the skin: a static control that never paints and forwards its mouse input
// to the main window, in window coordinates.

#include <windows.h>

#include "platform/ui/UiStatic.h"

class CMainFrame;

class CDummyStatic : public CUiStatic {
public:
    CDummyStatic() = default;
    ~CDummyStatic() override;

    // WS_CHILD | SS_NOTIFY, visible or not, with its input hooked.
    bool Create(bool visible, const RECT& rect, HWND parent, int controlId);
    // Not owned; nothing is forwarded while it is null.
    void SetMainFrame(CMainFrame* frame) { frame_ = frame; }

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR data);
    void Forward(UINT message, LPARAM lParam);

    CMainFrame* frame_ = nullptr;
};
