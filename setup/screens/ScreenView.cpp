#include "setup/screens/ScreenView.h"

#include "setup/resources/HalvixSetupStrings.h"
#include "setup/screens/ScreenFont.h"
#include "setup/screens/ScreenResources.h"
#include "setup/wizard/SetupCodes.h"

namespace {

const int kButtonIds[] = {IDC_SCREEN_BUTTON1, IDC_SCREEN_BUTTON2, IDC_SCREEN_BUTTON3};

}  // namespace

CScreenView::CScreenView(UINT templateId, std::vector<Button> buttons, UINT imageId)
    : CUiDialog(templateId), buttons_(std::move(buttons)), imageId_(imageId) {}

CScreenView::~CScreenView() {
    // The controls draw with the font until the window is gone.
    DestroyWindow();
    if (font_ != nullptr) DeleteObject(font_);
}

bool CScreenView::CreateScreen(HWND frame, UINT controlId) {
    if (!Create(frame)) return false;
    SetWindowLongPtrW(Hwnd(), GWLP_ID, static_cast<LONG_PTR>(controlId));
    const SIZE client = ScreenClientSize(Layout());
    SetWindowPos(Hwnd(), nullptr, 0, 0, client.cx, client.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

const CUiMessageMap& CScreenView::GetMessageMap() const {
    static const CUiMessageMap map(&CUiDialog::GetMessageMap(), {
        UiOnMessage(WM_SHOWWINDOW, &CScreenView::OnShowWindow),
        UiOnMessage(WM_PAINT, &CScreenView::OnPaint),
        UiOnMessage(WM_CTLCOLORDLG, &CScreenView::OnControlColour),
        UiOnMessage(WM_CTLCOLORSTATIC, &CScreenView::OnControlColour),
        UiOnCommand(IDC_SCREEN_BUTTON1, &CScreenView::OnButton1),
        UiOnCommand(IDC_SCREEN_BUTTON2, &CScreenView::OnButton2),
        UiOnCommand(IDC_SCREEN_BUTTON3, &CScreenView::OnButton3),
    });
    return map;
}

BOOL CScreenView::OnInitDialog() {
    CUiDialog::OnInitDialog();
    OnInitialUpdate();
    // The frame decides which screen has the focus.
    return FALSE;
}

void CScreenView::OnInitialUpdate() {
    LoadResourceDll();
    UseLanguageFont();
    BindControls();
    PlaceTexts();
    const int count = static_cast<int>(buttons_.size());
    for (int slot = 0; slot < count && slot < 3; ++slot) {
        if (buttonControls_[slot].Attach(Hwnd(), kButtonIds[slot])) {
            PlaceButton(buttonControls_[slot], buttons_[slot].captionId, slot, count);
        }
    }
    if (imageId_ != 0 && image_.Load(GetModuleHandleW(nullptr), imageId_)) {
        const POINT corner = ImagePosition();
        imageRect_ = RECT{corner.x, corner.y, corner.x + kImageWidth, corner.y + kImageHeight};
    }
    RegisterScreenControls();
}

void CScreenView::UseLanguageFont() {
    const LANGID language = LanguageOfStrings(StringModule(), IDS_SETUP_BUTTON_OK);
    font_ = CreateFontForLanguage(reinterpret_cast<HFONT>(SendMessageW(Hwnd(), WM_GETFONT, 0, 0)), language);
    if (font_ == nullptr) return;
    SendMessageW(Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    for (HWND child = GetWindow(Hwnd(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
}

LRESULT CScreenView::OnShowWindow(WPARAM show, LPARAM status) {
    // The dialog manager's own handling (the focus it keeps) comes first.
    const LRESULT result = DefaultProc(WM_SHOWWINDOW, show, status);
    PostEvent(show ? SetupEvent::kShown : SetupEvent::kHidden);
    return result;
}

LRESULT CScreenView::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Hwnd(), &paint);
    if (dc != nullptr && image_.IsLoaded()) {
        image_.Draw(dc, imageRect_.left, imageRect_.top, kImageWidth, kImageHeight);
    }
    EndPaint(Hwnd(), &paint);
    return 0;
}

LRESULT CScreenView::OnControlColour(WPARAM dc, LPARAM) {
    // White like the frame, so the screens and the pictures' soft edges sit on one background.
    SetBkColor(reinterpret_cast<HDC>(dc), GetSysColor(COLOR_WINDOW));
    SetTextColor(reinterpret_cast<HDC>(dc), GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

void CScreenView::OnButton(size_t index) {
    if (index < buttons_.size()) PostEvent(buttons_[index].event);
}
