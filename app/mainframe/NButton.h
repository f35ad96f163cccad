#pragma once
// An owner-drawn push button of the layered main window. It never paints on the screen itself:
// it tracks hover and press, asks its parent to recompose the window through the registered
// message "nButtonUpdateLayeredWnd", and paints its current bitmap into the parent's image on
// request.

#include <windows.h>

#include "app/mainframe/ImageEx.h"
#include "platform/ui/UiButton.h"
#include "platform/ui/UiRegisteredMessage.h"

class CNButton : public CUiButton {
public:
    static const CUiRegisteredMessage& UpdateLayeredMessage();

    CNButton() = default;
    ~CNButton() override;

    // Child window (WS_CHILD | BS_OWNERDRAW, visible or not) with its input hooked.
    bool Create(const std::wstring& caption, bool visible, const RECT& rect, HWND parent, int controlId);
    // PNG ids in the order normal, pressed, disabled (0 = none), hover; 0 when the normal image
    // is missing, else the button takes the normal image's size.
    int LoadImages(HMODULE module, UINT normalId, UINT pressedId, UINT disabledId, UINT hoverId);
    void SizeToBitmap();
    void PaintTo(HDC target, int x, int y, int width, int height);
    // Owner-draw: the parent forwards WM_DRAWITEM here; a changed state asks for a repaint.
    void DrawItem(const DRAWITEMSTRUCT& item);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool IsHovering() const { return hover_; }

private:
    enum Face { kNormal, kPressed, kFocus, kDisabled, kHover, kFaceCount };

    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR data);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void AskParentToRepaint() const;
    void DeleteImages();

    volatile bool hover_ = false;
    volatile bool pressed_ = false;
    int width_ = 0;
    int height_ = 0;
    bool premultiplied_ = false;
    volatile UINT lastItemState_ = 0;
    CImageEx images_[kFaceCount];
};
