#include "platform/ui/UiToolTipCtrl.h"

CUiToolTipCtrl::~CUiToolTipCtrl() {
    if (hwnd_ != nullptr && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool CUiToolTipCtrl::Create(HWND owner) {
    owner_ = owner;
    hwnd_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr),
                            nullptr);
    return hwnd_ != nullptr;
}

bool CUiToolTipCtrl::AddTool(HWND tool, const std::wstring& text) {
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND;
    info.hwnd = owner_;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    // The control copies the text.
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    return SendMessageW(hwnd_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

int CUiToolTipCtrl::GetToolCount() const { return static_cast<int>(SendMessageW(hwnd_, TTM_GETTOOLCOUNT, 0, 0)); }

void CUiToolTipCtrl::RelayEvent(MSG* message) const {
    SendMessageW(hwnd_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(message));
}

void CUiToolTipCtrl::Activate(bool active) const { SendMessageW(hwnd_, TTM_ACTIVATE, active ? TRUE : FALSE, 0); }
