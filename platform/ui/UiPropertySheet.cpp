#include "platform/ui/UiPropertySheet.h"

#include "platform/ui/UiApp.h"

namespace {
// PropertySheetW's callback carries no context; the sheet being made on this thread is here.
thread_local CUiPropertySheet* t_sheetInCreation = nullptr;
}

CUiPropertySheet::CUiPropertySheet(const std::wstring& caption, HINSTANCE resourceModule)
    : caption_(caption), resourceModule_(resourceModule) {}

INT_PTR CUiPropertySheet::DoModal(HWND parent) {
    if (pages_.empty()) return -1;
    std::vector<PROPSHEETPAGEW> pages;
    pages.reserve(pages_.size());
    for (CUiPropertyPage* page : pages_) pages.push_back(page->Describe());
    if (parent == nullptr && CUiApp::Current() != nullptr && CUiApp::Current()->MainWnd() != nullptr) {
        parent = CUiApp::Current()->MainWnd()->Hwnd();
    }
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK | PSH_NOAPPLYNOW;
    header.hwndParent = parent;
    header.hInstance = resourceModule_ != nullptr ? resourceModule_ : GetModuleHandleW(nullptr);
    header.pszCaption = caption_.c_str();
    header.nPages = static_cast<UINT>(pages.size());
    header.nStartPage = startPage_ < pages.size() ? startPage_ : 0;
    header.ppsp = pages.data();
    header.pfnCallback = SheetCallback;
    ended_ = false;
    endResult_ = 0;
    CUiPropertySheet* outer = t_sheetInCreation;
    t_sheetInCreation = this;
    const INT_PTR result = PropertySheetW(&header);
    t_sheetInCreation = outer;
    if (ended_) return endResult_;
    if (result < 0) return -1;
    return result > 0 ? IDOK : IDCANCEL;
}

void CUiPropertySheet::EndSheet(INT_PTR result) {
    if (Hwnd() == nullptr) return;
    ended_ = true;
    endResult_ = result;
    PostMessageW(Hwnd(), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

LRESULT CUiPropertySheet::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (originalProc_ == nullptr) return DefWindowProcW(Hwnd(), message, wParam, lParam);
    return CallWindowProcW(originalProc_, Hwnd(), message, wParam, lParam);
}

int CALLBACK CUiPropertySheet::SheetCallback(HWND hwnd, UINT message, LPARAM) {
    CUiPropertySheet* sheet = t_sheetInCreation;
    if (message != PSCB_INITIALIZED || sheet == nullptr || sheet->Hwnd() != nullptr) return 0;
    sheet->Attach(hwnd);
    sheet->originalProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SheetWindowProc)));
    sheet->OnInitSheet();
    return 0;
}

LRESULT CALLBACK CUiPropertySheet::SheetWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* sheet = static_cast<CUiPropertySheet*>(FromHandle(hwnd));
    if (sheet == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The common controls' own procedure still needs to see the window go.
        WNDPROC original = sheet->originalProc_;
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        sheet->originalProc_ = nullptr;
        sheet->Detach();
        return CallWindowProcW(original, hwnd, message, wParam, lParam);
    }
    return sheet->Route(message, wParam, lParam);
}
