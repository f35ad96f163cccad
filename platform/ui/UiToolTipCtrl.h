#pragma once
// A tool tip window for the controls of one owner. The owner relays its mouse messages
// (RelayEvent, typically from PreTranslateMessage), so the tips need no subclassing.

#include <windows.h>
#include <commctrl.h>

#include <string>

class CUiToolTipCtrl {
public:
    CUiToolTipCtrl() = default;
    ~CUiToolTipCtrl();
    CUiToolTipCtrl(const CUiToolTipCtrl&) = delete;
    CUiToolTipCtrl& operator=(const CUiToolTipCtrl&) = delete;

    bool Create(HWND owner);
    HWND Hwnd() const { return hwnd_; }
    // A tip for a child window of the owner.
    bool AddTool(HWND tool, const std::wstring& text);
    // Number of tools registered.
    int GetToolCount() const;
    void RelayEvent(MSG* message) const;
    void Activate(bool active) const;

private:
    HWND hwnd_ = nullptr;
    HWND owner_ = nullptr;
};
