#pragma once
// A thin handle on a child control: bound to a dialog's control by id, or created. The control
// belongs to its parent window; this object never destroys it.

#include <windows.h>

#include <string>

class CUiControl {
public:
    CUiControl() = default;
    virtual ~CUiControl() = default;

    // Binds to a control of a dialog; false when there is none with that id.
    bool Attach(HWND dialog, int controlId);
    void Attach(HWND control) { hwnd_ = control; }
    HWND Hwnd() const { return hwnd_; }

    void SetText(const std::wstring& text) const;
    std::wstring GetText() const;
    void Enable(bool enabled) const;
    void Show(bool visible) const;
    void SetFont(HFONT font) const;

protected:
    // Creates the control as a child; false when the system refused.
    bool CreateControl(const wchar_t* className, const std::wstring& text, DWORD style, const RECT& rect, HWND parent,
                       int controlId, DWORD exStyle = 0);
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageW(hwnd_, message, wParam, lParam);
    }

private:
    HWND hwnd_ = nullptr;
};
