#pragma once
// A top-level window of the program. Creation passes through PreCreateWindow (class, style and
// placement can be changed there) and WM_CREATE (OnCreate; -1 fails Create). When the
// application's main window is destroyed, the message loop ends.

#include <windows.h>

#include <string>

#include "platform/ui/UiWnd.h"

class CUiFrameWnd : public CUiWnd {
public:
    struct CreateArgs {
        std::wstring title;
        DWORD style = WS_OVERLAPPEDWINDOW;
        DWORD exStyle = 0;
        int x = CW_USEDEFAULT;
        int y = CW_USEDEFAULT;
        int width = CW_USEDEFAULT;
        int height = CW_USEDEFAULT;
        HWND parent = nullptr;
        HMENU menu = nullptr;
    };

    // The class every frame gets unless PreCreateWindow names another.
    static const wchar_t kDefaultClassName[];

    // False when PreCreateWindow refuses, the class is missing or OnCreate answers -1.
    bool Create(const CreateArgs& args);

    // Registers a frame class served by the framework (a class that already exists counts as
    // registered). For PreCreateWindow overrides that want a class name of their own.
    static bool RegisterFrameClass(const wchar_t* name, UINT classStyle, HCURSOR cursor, HBRUSH background,
                                   HICON icon);

    const CUiMessageMap& GetMessageMap() const override;

protected:
    // Optional: adjust the creation parameters; FALSE cancels the creation.
    virtual BOOL PreCreateWindow(CREATESTRUCTW& create);
    // WM_CREATE of the base; derived handlers call it first and fail with it.
    int OnCreate(CREATESTRUCTW* create);
    void PostNcDestroy() override;
};
