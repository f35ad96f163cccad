#include "platform/ui/UiDialog.h"

#include "platform/ui/UiApp.h"

namespace {

HWND OwnerOrMainWindow(HWND parent) {
    if (parent != nullptr) return parent;
    CUiApp* app = CUiApp::Current();
    CUiWnd* main = app != nullptr ? app->MainWnd() : nullptr;
    return main != nullptr ? main->Hwnd() : nullptr;
}

// Messages whose dialog-procedure answer is the result itself, not DWLP_MSGRESULT.
bool AnswersDirectly(UINT message) {
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

}  // namespace

CUiDialog::CUiDialog(UINT templateId, HINSTANCE resourceModule)
    : templateId_(templateId), resourceModule_(resourceModule) {}

HINSTANCE CUiDialog::ResourceModule() const {
    return resourceModule_ != nullptr ? resourceModule_ : GetModuleHandleW(nullptr);
}

INT_PTR CUiDialog::DoModal(HWND parent) {
    modal_ = true;
    const INT_PTR result = DialogBoxParamW(ResourceModule(), MAKEINTRESOURCEW(templateId_), OwnerOrMainWindow(parent),
                                           StaticDialogProc, reinterpret_cast<LPARAM>(this));
    modal_ = false;
    return result;
}

bool CUiDialog::Create(HWND parent) {
    modal_ = false;
    return CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(templateId_), OwnerOrMainWindow(parent),
                              StaticDialogProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CUiDialog::EndDialog(INT_PTR result) {
    if (Hwnd() == nullptr) return;
    if (modal_) {
        ::EndDialog(Hwnd(), result);
    } else {
        DestroyWindow();
    }
}

BOOL CUiDialog::UpdateData(BOOL saveAndValidate) {
    if (Hwnd() == nullptr) return FALSE;
    CUiDataExchange exchange(Hwnd(), saveAndValidate != FALSE);
    DoDataExchange(exchange);
    return TRUE;
}

BOOL CUiDialog::PreTranslateMessage(MSG* message) {
    // A modal dialog's own loop does its keyboard navigation.
    if (modal_ || Hwnd() == nullptr) return FALSE;
    return IsDialogMessageW(Hwnd(), message);
}

const CUiMessageMap& CUiDialog::GetMessageMap() const {
    static const CUiMessageMap map(&CUiWnd::GetMessageMap(), {
        UiOnCommand(IDOK, &CUiDialog::OnOKCommand),
        UiOnCommand(IDCANCEL, &CUiDialog::OnCancelCommand),
    });
    return map;
}

BOOL CUiDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CUiDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CUiDialog::OnCancel() { EndDialog(IDCANCEL); }

void CUiDialog::DoDataExchange(CUiDataExchange&) {}

LRESULT CUiDialog::DefaultProc(UINT, WPARAM, LPARAM) {
    defaultReached_ = true;
    return 0;
}

INT_PTR CUiDialog::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        try {
            return OnInitDialog();
        } catch (...) {
            return TRUE;
        }
    }
    HWND hwnd = Hwnd();
    // Handlers may run nested messages (a modal dialog of their own); each keeps its own mark.
    const bool outer = defaultReached_;
    defaultReached_ = false;
    const LRESULT result = Route(message, wParam, lParam);
    const bool unhandled = defaultReached_;
    defaultReached_ = outer;
    if (unhandled) return FALSE;
    if (AnswersDirectly(message)) return static_cast<INT_PTR>(result);
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK CUiDialog::StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* dialog = static_cast<CUiDialog*>(FromHandle(hwnd));
    if (dialog == nullptr && message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CUiDialog*>(lParam);
        if (dialog != nullptr) dialog->Attach(hwnd);
    }
    if (dialog == nullptr) return FALSE;
    return dialog->HandleDialogMessage(message, wParam, lParam);
}
