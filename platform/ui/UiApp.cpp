#include "platform/ui/UiApp.h"

#include "platform/ui/UiCommandLineInfo.h"
#include "platform/ui/UiWnd.h"

namespace {
CUiApp* g_currentApp = nullptr;
}

CUiApp::CUiApp() { g_currentApp = this; }

CUiApp::~CUiApp() {
    if (g_currentApp == this) g_currentApp = nullptr;
}

CUiApp* CUiApp::Current() { return g_currentApp; }

BOOL CUiApp::InitInstance() { return TRUE; }

int CUiApp::ExitInstance() { return exitCode_; }

int CUiApp::Run() {
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            exitCode_ = static_cast<int>(message.wParam);
            break;
        }
        if (got == -1) {
            exitCode_ = -1;
            break;
        }
        if (PreTranslateMessage(&message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return exitCode_;
}

BOOL CUiApp::PreTranslateMessage(MSG* message) {
    for (HWND hwnd = message->hwnd; hwnd != nullptr; hwnd = GetParent(hwnd)) {
        CUiWnd* window = CUiWnd::FromHandle(hwnd);
        if (window != nullptr && window->PreTranslateMessage(message)) return TRUE;
    }
    return FALSE;
}

int CUiApp::Main(HINSTANCE instance) {
    instance_ = instance;
    exitCode_ = 0;
    if (InitInstance()) {
        Run();
    } else if (mainWnd_ != nullptr) {
        mainWnd_->DestroyWindow();
        mainWnd_ = nullptr;
    }
    const int exitCode = ExitInstance();
    ole_.Uninitialize();
    return exitCode;
}

void CUiApp::ParseCommandLine(CUiCommandLineInfo& info) const { info.ParseCommandLine(GetCommandLineW()); }

bool CUiApp::InitOle() { return ole_.Initialize(); }
