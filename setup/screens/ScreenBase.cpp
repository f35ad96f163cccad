#include "setup/screens/ScreenBase.h"

#include "library/util/ModuleFolder.h"
#include "platform/ui/UiControl.h"
#include "platform/ui/UiLanguageModule.h"
#include "setup/resources/HalvixSetupStrings.h"
#include "setup/wizard/ISetupListener.h"
#include "setup/wizard/SetupCodes.h"

namespace {

// Room between neighbouring buttons and under the row of buttons.
constexpr int kButtonGap = 9;
constexpr int kButtonBottomGap = 10;

void MoveControl(const CUiControl& control, int x, int y, int width, int height) {
    SetWindowPos(control.Hwnd(), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT MeasureText(HWND control, const std::wstring& text, int width, UINT format) {
    RECT bounds = {0, 0, width, 0};
    HDC dc = GetDC(control);
    if (dc == nullptr) return bounds;
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds, DT_CALCRECT | DT_NOPREFIX | format);
    SelectObject(dc, oldFont);
    ReleaseDC(control, dc);
    return bounds;
}

}  // namespace

SIZE ScreenClientSize(const SetupFrameLayout& layout) {
    SIZE size;
    size.cx = layout.frameWidth - 2 * (GetSystemMetrics(SM_CXFRAME) + GetSystemMetrics(SM_CXBORDER));
    size.cy = layout.frameHeight - 2 * GetSystemMetrics(SM_CYFRAME) - GetSystemMetrics(SM_CYCAPTION);
    return size;
}

HMODULE LoadHalvixStringModule() {
    const std::wstring folder = GetModuleFolder();
    if (folder.empty()) return nullptr;
    return LoadLibraryW((folder + L"Resources\\HalvixSetupResource.dll").c_str());
}

std::wstring LoadHalvixString(HMODULE module, UINT id) {
    std::wstring text;
    CUiLanguageModule::LoadText(module, id, text);
    return text;
}

int MeasureTextHeight(HWND control, const std::wstring& text, int width) {
    const RECT bounds = MeasureText(control, text, width, DT_WORDBREAK | DT_EDITCONTROL);
    return bounds.bottom - bounds.top;
}

SIZE MeasureTextLine(HWND control, const std::wstring& text) {
    const RECT bounds = MeasureText(control, text, 0, DT_SINGLELINE);
    return SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top};
}

void CScreenBase::Assign(unsigned screen, ISetupListener* listener, const SetupFrameLayout& layout) {
    screen_ = screen;
    listener_ = listener;
    layout_ = layout;
}

void CScreenBase::LoadResourceDll() {
    if (stringModule_ == nullptr) stringModule_ = LoadHalvixStringModule();
}

std::wstring CScreenBase::LoadResString(UINT id) {
    LoadResourceDll();
    return LoadHalvixString(stringModule_, id);
}

int CScreenBase::TextWidth() const { return ScreenClientSize(layout_).cx - 2 * kMargin; }

int CScreenBase::ButtonTop() const { return ScreenClientSize(layout_).cy - kButtonBottomGap - layout_.buttonHeight; }

int CScreenBase::PlaceText(const CUiControl& text, const std::wstring& value, int top, int width) {
    if (width <= 0) width = TextWidth();
    text.SetText(value);
    const int height = MeasureTextHeight(text.Hwnd(), value, width);
    MoveControl(text, kMargin, top, width, height);
    return top + height;
}

int CScreenBase::SetText(const CUiControl& text, UINT id, int top, int width) {
    return PlaceText(text, LoadResString(id) + L"\r\n", top, width);
}

int CScreenBase::SetTexts(const CUiControl& text, std::initializer_list<UINT> ids, int top, int width) {
    std::wstring joined;
    for (UINT id : ids) {
        if (!joined.empty()) joined += L"\r\n\r\n";
        joined += LoadResString(id);
    }
    return PlaceText(text, joined + L"\r\n", top, width);
}

int CScreenBase::SetProcessingTexts(const CUiControl& text) {
    return PlaceText(
        text, LoadResString(IDS_SETUP_CANCEL_HINT) + L"\r\n" + LoadResString(IDS_SETUP_DO_NOT_DISCONNECT) + L"\r\n",
        kMargin);
}

int CScreenBase::SetUnregTexts(const CUiControl& text) {
    return SetTexts(text, {IDS_SETUP_ALREADY_REGISTERED, IDS_SETUP_UNREG_CHOICE, IDS_SETUP_UNREG_NOTE}, kMargin);
}

void CScreenBase::PlaceButton(const CUiControl& button, UINT captionId, int slot, int count) {
    button.SetText(LoadResString(captionId));
    const int rightEdge = ScreenClientSize(layout_).cx - kMargin;
    const int fromRight = count - 1 - slot;
    const int x = rightEdge - layout_.buttonWidth - fromRight * (layout_.buttonWidth + kButtonGap);
    MoveControl(button, x, ButtonTop(), layout_.buttonWidth, layout_.buttonHeight);
}

void CScreenBase::PostEvent(int event) {
    if (listener_ != nullptr) listener_->OnUIEvent(nullptr, nullptr, screen_, event, 0);
}

void CScreenBase::RegisterControls(CUiControl* control1, CUiControl* control2) {
    if (listener_ != nullptr) listener_->OnUIEvent(control1, control2, screen_, SetupEvent::kControlsRegistered, 0);
}
