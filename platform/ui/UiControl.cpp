#include "platform/ui/UiControl.h"

#include "platform/ui/UiWindowText.h"

bool CUiControl::Attach(HWND dialog, int controlId) {
    hwnd_ = GetDlgItem(dialog, controlId);
    return hwnd_ != nullptr;
}

void CUiControl::SetText(const std::wstring& text) const { SetWindowTextW(hwnd_, text.c_str()); }

std::wstring CUiControl::GetText() const { return GetWindowTextString(hwnd_); }

void CUiControl::Enable(bool enabled) const { EnableWindow(hwnd_, enabled ? TRUE : FALSE); }

void CUiControl::Show(bool visible) const { ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE); }

void CUiControl::SetFont(HFONT font) const { Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }

bool CUiControl::CreateControl(const wchar_t* className, const std::wstring& text, DWORD style, const RECT& rect,
                               HWND parent, int controlId, DWORD exStyle) {
    hwnd_ = CreateWindowExW(exStyle, className, text.c_str(), style | WS_CHILD, rect.left, rect.top,
                            rect.right - rect.left, rect.bottom - rect.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), GetModuleHandleW(nullptr),
                            nullptr);
    return hwnd_ != nullptr;
}
