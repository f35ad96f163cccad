#include "platform/ui/UiPropertyPage.h"

CUiPropertyPage::CUiPropertyPage(UINT templateId, HINSTANCE resourceModule) : CUiDialog(templateId, resourceModule) {}

PROPSHEETPAGEW CUiPropertyPage::Describe() const {
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof(page);
    page.dwFlags = title_.empty() ? PSP_DEFAULT : PSP_USETITLE;
    page.hInstance = ResourceModule();
    page.pszTemplate = MAKEINTRESOURCEW(TemplateId());
    page.pfnDlgProc = PageDialogProc;
    page.pszTitle = title_.c_str();
    page.lParam = reinterpret_cast<LPARAM>(this);
    return page;
}

BOOL CUiPropertyPage::OnSetActive() { return TRUE; }

BOOL CUiPropertyPage::OnKillActive() { return UpdateData(TRUE); }

void CUiPropertyPage::OnOK() {}

void CUiPropertyPage::OnCancel() {}

LRESULT CUiPropertyPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_NOTIFY) return CUiDialog::WindowProc(message, wParam, lParam);
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    switch (header->code) {
    case PSN_SETACTIVE:
        return OnSetActive() ? 0 : -1;
    case PSN_KILLACTIVE:
        // TRUE keeps the user on the page.
        return OnKillActive() ? FALSE : TRUE;
    case PSN_APPLY:
        OnOK();
        return PSNRET_NOERROR;
    case PSN_RESET:
        OnCancel();
        return 0;
    default:
        return CUiDialog::WindowProc(message, wParam, lParam);
    }
}

INT_PTR CALLBACK CUiPropertyPage::PageDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* page = static_cast<CUiPropertyPage*>(FromHandle(hwnd));
    if (page == nullptr && message == WM_INITDIALOG) {
        // The sheet hands the page its own PROPSHEETPAGEW copy; lParam there is the page.
        const auto* description = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
        page = description != nullptr ? reinterpret_cast<CUiPropertyPage*>(description->lParam) : nullptr;
        if (page != nullptr) page->AttachDialog(hwnd);
    }
    if (page == nullptr) return FALSE;
    return page->HandleDialogMessage(message, wParam, lParam);
}
