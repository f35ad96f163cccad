#include "app/main/CQBPlaceholderFrame.h"

const wchar_t CQBPlaceholderFrame::kClassName[] = L"QUILLBAY_MAIN_FRAME";

void CQBPlaceholderFrame::SetLanguage(const std::wstring& folder, bool latinScript, bool longCaptions) {
    languageFolder_ = folder;
    latinScript_ = latinScript;
    longCaptions_ = longCaptions;
}

BOOL CQBPlaceholderFrame::PreCreateWindow(CREATESTRUCTW& create) {
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128));
    if (!RegisterFrameClass(kClassName, CS_HREDRAW | CS_VREDRAW, LoadCursorW(nullptr, IDC_ARROW),
                            reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), icon)) {
        return FALSE;
    }
    create.lpszClass = kClassName;
    return TRUE;
}

bool CQBPlaceholderFrame::LoadFrame(UINT, DWORD style) {
    CreateArgs args;
    args.style = style & ~(WS_VISIBLE | kFrameAddToTitle);
    args.width = 480;
    args.height = 320;
    return Create(args);
}

void CQBPlaceholderFrame::SetTitle(const std::wstring& title) { SetWindowTextW(Hwnd(), title.c_str()); }

void CQBPlaceholderFrame::ShowAndPaint() {
    ShowWindow(Hwnd(), SW_SHOW);
    UpdateWindow(Hwnd());
}
