#pragma once
// What start-up asks of the main window: its settings before creation, its creation, and showing
// it. The program's main frame implements it; tests put their own frame behind it.

#include <windows.h>

#include <string>

class CUiWnd;

// A frame style bit of the window framework (not a window style): the title names the document.
const DWORD kFrameAddToTitle = 0x00008000;

class IQBMainWindow {
public:
    virtual ~IQBMainWindow() = default;

    virtual void SetUIMode(int uiMode) = 0;
    virtual void DisableCarAudioControl() = 0;
    virtual void SetResourceModule(HMODULE module) = 0;
    // folder: "ENU", "JPN" ...
    virtual void SetLanguage(const std::wstring& folder, bool latinScript, bool longCaptions) = 0;
    // Creates the window, hidden; false when it cannot be made.
    virtual bool LoadFrame(UINT resourceId, DWORD style) = 0;
    virtual void SetTitle(const std::wstring& title) = 0;
    // Shows the window and paints it.
    virtual void ShowAndPaint() = 0;
    virtual CUiWnd& Window() = 0;
};
