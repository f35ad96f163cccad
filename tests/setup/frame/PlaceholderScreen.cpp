#include "tests/setup/frame/PlaceholderScreen.h"

#include <string>

#include "platform/ui/UiFrameWnd.h"
#include "setup/wizard/ISetupListener.h"
#include "setup/wizard/SetupCodes.h"
#include "setup/wizard/SetupFrameLayout.h"

namespace {
const wchar_t kClassName[] = L"HalvixSetupPlaceholderScreen";
constexpr int kButtonId = 1;
constexpr int kMargin = 22;
}  // namespace

bool CPlaceholderScreen::Create(HWND frame, UINT controlId) {
    if (!CUiFrameWnd::RegisterFrameClass(kClassName, CS_HREDRAW | CS_VREDRAW, LoadCursorW(nullptr, IDC_ARROW),
                                         static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), nullptr)) {
        return false;
    }
    // The window text names the screen, so tests and accessibility tools can tell which is shown.
    const std::wstring name = L"Screen " + std::to_wstring(screen_);
    HWND hwnd = CreateWindowExW(0, kClassName, name.c_str(), WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0, frame,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)), GetModuleHandleW(nullptr),
                                this);
    if (hwnd == nullptr) return false;
    button_ = CreateWindowExW(0, L"BUTTON", L"Finish", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0,
                              FrameLayout().buttonWidth, FrameLayout().buttonHeight, hwnd,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kButtonId)), GetModuleHandleW(nullptr),
                              nullptr);
    SendMessageW(button_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return true;
}

const CUiMessageMap& CPlaceholderScreen::GetMessageMap() const {
    static const CUiMessageMap map(&CUiWnd::GetMessageMap(), {
        UiOnMessage(WM_PAINT, &CPlaceholderScreen::OnPaint),
        UiOnMessage(WM_COMMAND, &CPlaceholderScreen::OnCommand),
        UiOnMessage(WM_SIZE, &CPlaceholderScreen::OnSize),
    });
    return map;
}

void CPlaceholderScreen::OnPaint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(Hwnd(), &paint);
    RECT client{};
    GetClientRect(Hwnd(), &client);
    client.left += kMargin;
    client.top += kMargin;
    client.right -= kMargin;
    const std::wstring text = L"Halvix Setup: screen " + std::to_wstring(screen_);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), -1, &client, DT_LEFT | DT_TOP | DT_WORDBREAK);
    SelectObject(dc, oldFont);
    EndPaint(Hwnd(), &paint);
}

void CPlaceholderScreen::OnSize() {
    RECT client{};
    GetClientRect(Hwnd(), &client);
    const SetupFrameLayout& layout = FrameLayout();
    MoveWindow(button_, client.right - kMargin - layout.buttonWidth, client.bottom - 10 - layout.buttonHeight,
               layout.buttonWidth, layout.buttonHeight, TRUE);
}

LRESULT CPlaceholderScreen::OnCommand(WPARAM wParam, LPARAM) {
    if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) {
        listener_.OnUIEvent(nullptr, nullptr, screen_, SetupEvent::kOk, 0);
    }
    return 0;
}
