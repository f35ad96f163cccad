#include "tests/ui/DemoFrame.h"

#include "tests/ui/DemoDialog.h"

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string utf8(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], size, nullptr, nullptr);
    }
    return utf8;
}

}  // namespace

const CUiRegisteredMessage CDemoFrame::kPingMessage(L"QbUiDemoPingMessage");

const CUiMessageMap& CDemoFrame::GetMessageMap() const {
    static const CUiMessageMap map(&CUiFrameWnd::GetMessageMap(), {
        UiOnCreate(&CDemoFrame::OnCreate),
        UiOnMessage(WM_DESTROY, &CDemoFrame::OnDestroy),
        UiOnCommand(kOptionsButtonId, &CDemoFrame::OnOptions),
        UiOnCommand(kStartTimerCommand, &CDemoFrame::OnStartTimer),
        UiOnTimer(&CDemoFrame::OnTimer),
        UiOnRegisteredMessage(kPingMessage, &CDemoFrame::OnPing),
    });
    return map;
}

BOOL CDemoFrame::PreTranslateMessage(MSG* message) {
    if (message->message == WM_KEYDOWN && message->wParam == VK_F1) {
        log_.Add("PreTranslateMessage F1");
        return TRUE;
    }
    return FALSE;
}

BOOL CDemoFrame::PreCreateWindow(CREATESTRUCTW& create) {
    log_.Add("PreCreateWindow");
    if (!CUiFrameWnd::PreCreateWindow(create)) return FALSE;
    create.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    create.x = 100;
    create.y = 100;
    create.cx = 320;
    create.cy = 200;
    return TRUE;
}

LRESULT CDemoFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Keys the loop's PreTranslateMessage took never get here.
    if (message == WM_KEYDOWN) log_.Add("WindowProc WM_KEYDOWN");
    return CUiFrameWnd::WindowProc(message, wParam, lParam);
}

int CDemoFrame::OnCreate(CREATESTRUCTW* create) {
    log_.Add("OnCreate");
    if (CUiFrameWnd::OnCreate(create) == -1) return -1;
    if (failCreate) return -1;
    HWND button = CreateWindowW(L"BUTTON", L"Options...", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 20, 20,
                                120, 30, Hwnd(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kOptionsButtonId)),
                                create->hInstance, nullptr);
    HWND label = CreateWindowW(L"STATIC", L"Framework test window", WS_CHILD | WS_VISIBLE, 20, 70, 260, 20, Hwnd(),
                               nullptr, create->hInstance, nullptr);
    const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageW(button, WM_SETFONT, font, FALSE);
    SendMessageW(label, WM_SETFONT, font, FALSE);
    return 0;
}

void CDemoFrame::OnDestroy() { log_.Add("OnDestroy"); }

void CDemoFrame::OnOptions() {
    log_.Add("OnOptions");
    CDemoDialog dialog(log_, language_);
    dialog.remember = remember;
    dialog.name = name;
    const INT_PTR result = dialog.DoModal(Hwnd());
    log_.Add("DoModal " + std::to_string(result));
    if (result != IDOK) return;
    remember = dialog.remember;
    name = dialog.name;
    log_.Add("remember " + std::to_string(remember) + ", name " + Utf8(name));
}

void CDemoFrame::OnStartTimer() { SetTimer(kTimerId, 10); }

void CDemoFrame::OnTimer(UINT_PTR timerId) {
    KillTimer(timerId);
    log_.Add("OnTimer " + std::to_string(timerId));
}

LRESULT CDemoFrame::OnPing(WPARAM wParam, LPARAM lParam) {
    log_.Add("OnPing");
    return static_cast<LRESULT>(wParam + lParam);
}
