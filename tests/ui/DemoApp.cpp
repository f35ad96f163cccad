#include "tests/ui/DemoApp.h"

BOOL CDemoApp::InitInstance() {
    log_.Add("InitInstance");
    if (failInit) return FALSE;
    frame_ = std::make_unique<CDemoFrame>(log_, language_);
    CUiFrameWnd::CreateArgs args;
    args.title = L"Framework demo";
    if (!frame_->Create(args)) return FALSE;
    SetMainWnd(frame_.get());
    ShowWindow(frame_->Hwnd(), SW_SHOW);
    UpdateWindow(frame_->Hwnd());
    if (quitAtOnce) PostMessageW(frame_->Hwnd(), WM_CLOSE, 0, 0);
    return TRUE;
}

int CDemoApp::ExitInstance() {
    log_.Add("ExitInstance");
    frame_.reset();
    return CUiApp::ExitInstance();
}
