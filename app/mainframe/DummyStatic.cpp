#include "app/mainframe/DummyStatic.h"

#include <commctrl.h>

#include "app/mainframe/MainFrame.h"

CDummyStatic::~CDummyStatic() {
    if (HWND hwnd = Hwnd(); hwnd && IsWindow(hwnd)) {
        RemoveWindowSubclass(hwnd, &CDummyStatic::SubclassProc, 0);
    }
}

bool CDummyStatic::Create(bool visible, const RECT& rect, HWND parent, int controlId) {
    const DWORD style = WS_CHILD | SS_NOTIFY | (visible ? WS_VISIBLE : 0);
    if (!CUiStatic::Create(L"", style, rect, parent, controlId)) {
        return false;
    }
    return SetWindowSubclass(Hwnd(), &CDummyStatic::SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

void CDummyStatic::Forward(UINT message, LPARAM lParam) {
    if (!frame_) {
        return;
    }
    const int id = GetDlgCtrlID(Hwnd());
    POINT point = frame_->LayoutPoint({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    const POINT origin = frame_->AreaOrigin(id);
    point.x += origin.x;
    point.y += origin.y;
    switch (message) {
    case WM_MOUSEMOVE:
        frame_->HandleMouseMove(point);
        break;
    case WM_LBUTTONUP:
        frame_->HandleLButtonUp(point);
        break;
    case WM_LBUTTONDOWN:
        // Only the progress area drags the window; the other areas act on release.
        if (id == CMainFrame::kIdProgressArea) {
            frame_->HandleLButtonDown(point);
        }
        break;
    default:
        break;
    }
}

LRESULT CALLBACK CDummyStatic::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR data) {
    auto* area = reinterpret_cast<CDummyStatic*>(data);
    switch (message) {
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, &CDummyStatic::SubclassProc, 0);
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_LBUTTONDOWN:
        area->Forward(message, lParam);
        break;
    case WM_PAINT:
        ValidateRect(hwnd, nullptr);
        if (area->frame_) {
            area->frame_->DrawSkin();
        }
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    default:
        break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}
