#include "app/mainframe/NButton.h"

#include <commctrl.h>

const CUiRegisteredMessage& CNButton::UpdateLayeredMessage() {
    static const CUiRegisteredMessage message(L"nButtonUpdateLayeredWnd");
    return message;
}

CNButton::~CNButton() {
    if (HWND hwnd = Hwnd(); hwnd && IsWindow(hwnd)) {
        RemoveWindowSubclass(hwnd, &CNButton::SubclassProc, 0);
        if (hover_ && GetCapture() == hwnd) {
            ReleaseCapture();
        }
    }
}

bool CNButton::Create(const std::wstring& caption, bool visible, const RECT& rect, HWND parent, int controlId) {
    const DWORD style = WS_CHILD | BS_OWNERDRAW | (visible ? WS_VISIBLE : 0);
    if (!CUiButton::Create(caption, style, rect, parent, controlId)) {
        return false;
    }
    return SetWindowSubclass(Hwnd(), &CNButton::SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

int CNButton::LoadImages(HMODULE module, UINT normalId, UINT pressedId, UINT disabledId, UINT hoverId) {
    premultiplied_ = true;
    DeleteImages();
    const UINT ids[kFaceCount] = {normalId, pressedId, 0, disabledId, hoverId};
    for (int face = 0; face < kFaceCount; ++face) {
        if (ids[face] == 0 || FAILED(LoadPngResource(module, images_[face], ids[face]))) {
            images_[face].Destroy();
            if (face == kNormal) {
                return 0;
            }
            continue;
        }
        images_[face].PremultiplyAlpha();
    }
    SizeToBitmap();
    return 1;
}

void CNButton::SizeToBitmap() {
    if (images_[kNormal].IsNull()) {
        return;
    }
    width_ = images_[kNormal].GetWidth();
    height_ = images_[kNormal].GetHeight();
    SetWindowPos(Hwnd(), nullptr, 0, 0, width_, height_,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

void CNButton::PaintTo(HDC target, int x, int y, int width, int height) {
    if (GetCapture() != Hwnd()) {
        hover_ = false;
    }
    const CImageEx* image = hover_ && !images_[kHover].IsNull() ? &images_[kHover] : &images_[kNormal];
    UINT state = lastItemState_;
    // A hidden or never-painted button has no fresh item state; its enabled flag still counts.
    if (!IsWindowEnabled(Hwnd())) {
        state |= ODS_DISABLED;
    }
    if ((state & ODS_SELECTED) && !images_[kPressed].IsNull()) {
        image = &images_[kPressed];
    } else if ((state & ODS_FOCUS) && !images_[kFocus].IsNull()) {
        image = &images_[kFocus];
    } else if ((state & ODS_DISABLED) && !images_[kDisabled].IsNull()) {
        image = &images_[kDisabled];
    }
    if (image->IsNull()) {
        return;
    }
    if (premultiplied_) {
        image->Draw(target, x, y, width, height);
    } else {
        HDC source = CreateCompatibleDC(target);
        HGDIOBJ previous = SelectObject(source, image->GetBitmap());
        BitBlt(target, x, y, width, height, source, 0, 0, SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
    }
}

void CNButton::DrawItem(const DRAWITEMSTRUCT& item) {
    if (item.itemState != lastItemState_) {
        AskParentToRepaint();
    }
    lastItemState_ = item.itemState;
}

void CNButton::AskParentToRepaint() const {
    PostMessageW(GetParent(Hwnd()), UpdateLayeredMessage().Id(), 0, 0);
}

void CNButton::DeleteImages() {
    for (CImageEx& image : images_) {
        image.Destroy();
    }
}

LRESULT CALLBACK CNButton::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR data) {
    auto* button = reinterpret_cast<CNButton*>(data);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &CNButton::SubclassProc, 0);
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    return button->OnMessage(message, wParam, lParam);
}

LRESULT CNButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = Hwnd();
    switch (message) {
    case WM_MOUSEMOVE: {
        if (!pressed_) {
            const int x = static_cast<short>(LOWORD(lParam));
            const int y = static_cast<short>(HIWORD(lParam));
            if (!hover_) {
                SetCapture(hwnd);
                hover_ = true;
                InvalidateRect(hwnd, nullptr, FALSE);
            } else if (x < 0 || y < 0 || x >= width_ || y >= height_) {
                hover_ = false;
                ReleaseCapture();
                InvalidateRect(hwnd, nullptr, FALSE);
            } else {
                SetCapture(hwnd);
            }
        }
        const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
        AskParentToRepaint();
        return result;
    }
    case WM_LBUTTONDOWN: {
        pressed_ = true;
        SetFocus(hwnd);
        const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
        AskParentToRepaint();
        return result;
    }
    case WM_LBUTTONUP: {
        const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
        pressed_ = false;
        InvalidateRect(hwnd, nullptr, FALSE);
        AskParentToRepaint();
        return result;
    }
    case WM_ERASEBKGND:
        return TRUE;
    default:
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
}
