#include "filters/vandle/OrrickProperties.h"

#include <cstring>

#include "filters/vandle/VandleResources.h"

namespace {

// The module the page's code is linked into, which carries its dialog and title.
HMODULE PageModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&PageModule), &module);
    return module;
}

// The dialog's size in dialog units, from its template.
bool DialogSize(HMODULE module, SIZE* size) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDD_ORRICK_PAGE), RT_DIALOG);
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr || SizeofResource(module, found) < sizeof(DLGTEMPLATE)) return false;
    DLGTEMPLATE dialog;
    std::memcpy(&dialog, bytes, sizeof(dialog));
    size->cx = dialog.cx;
    size->cy = dialog.cy;
    return true;
}

}  // namespace

COrrickProperties::COrrickProperties(IUnknown* outer) : CDsUnknown(outer) {}

COrrickProperties::~COrrickProperties() {
    if (window_ != nullptr) DestroyWindow(window_);
    if (site_ != nullptr) site_->Release();
}

HRESULT STDMETHODCALLTYPE COrrickProperties::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IPropertyPage)) return GetInterface(static_cast<IPropertyPage*>(this), object);
    return CDsUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT STDMETHODCALLTYPE COrrickProperties::SetPageSite(IPropertyPageSite* site) {
    if (site != nullptr && site_ != nullptr) return E_UNEXPECTED;
    if (site_ != nullptr) site_->Release();
    site_ = site;
    if (site_ != nullptr) site_->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE COrrickProperties::Activate(HWND parent, LPCRECT rect, BOOL) {
    if (rect == nullptr) return E_POINTER;
    if (window_ != nullptr) return E_UNEXPECTED;
    window_ = CreateDialogParamW(PageModule(), MAKEINTRESOURCEW(IDD_ORRICK_PAGE), parent, DialogProc,
                                 reinterpret_cast<LPARAM>(this));
    if (window_ == nullptr) return HRESULT_FROM_WIN32(GetLastError());
    return Move(rect);
}

HRESULT STDMETHODCALLTYPE COrrickProperties::Deactivate() {
    if (window_ == nullptr) return E_UNEXPECTED;
    DestroyWindow(window_);
    window_ = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE COrrickProperties::GetPageInfo(PROPPAGEINFO* info) {
    if (info == nullptr) return E_POINTER;
    const HMODULE module = PageModule();
    const wchar_t* text = nullptr;
    const int length = LoadStringW(module, IDS_ORRICK_TITLE, reinterpret_cast<LPWSTR>(&text), 0);
    SIZE units = {};
    if (length <= 0 || !DialogSize(module, &units)) return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
    const size_t bytes = (static_cast<size_t>(length) + 1) * sizeof(wchar_t);
    auto* title = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (title == nullptr) return E_OUTOFMEMORY;
    std::memcpy(title, text, bytes - sizeof(wchar_t));
    title[length] = L'\0';
    info->cb = sizeof(PROPPAGEINFO);
    info->pszTitle = title;
    // The page's size in pixels from its size in dialog units.
    const LONG base = GetDialogBaseUnits();
    info->size.cx = MulDiv(units.cx, LOWORD(base), 4);
    info->size.cy = MulDiv(units.cy, HIWORD(base), 8);
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE COrrickProperties::SetObjects(ULONG, IUnknown**) { return S_OK; }

HRESULT STDMETHODCALLTYPE COrrickProperties::Show(UINT command) {
    if (window_ == nullptr) return E_UNEXPECTED;
    ShowWindow(window_, command == SW_HIDE ? SW_HIDE : SW_SHOWNORMAL);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE COrrickProperties::Move(LPCRECT rect) {
    if (rect == nullptr) return E_POINTER;
    if (window_ == nullptr) return E_UNEXPECTED;
    MoveWindow(window_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE COrrickProperties::IsPageDirty() { return dirty_ ? S_OK : S_FALSE; }

HRESULT STDMETHODCALLTYPE COrrickProperties::Apply() {
    dirty_ = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE COrrickProperties::Help(LPCOLESTR) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE COrrickProperties::TranslateAccelerator(MSG*) { return S_FALSE; }

void COrrickProperties::OnCommand(WORD code) {
    if (code != 1) return;
    dirty_ = true;
    if (site_ != nullptr) site_->OnStatusChange(PROPPAGESTATUS_DIRTY);
}

INT_PTR CALLBACK COrrickProperties::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return TRUE;
    }
    auto* page = reinterpret_cast<COrrickProperties*>(GetWindowLongPtrW(window, DWLP_USER));
    if (message == WM_COMMAND && page != nullptr) {
        page->OnCommand(HIWORD(wParam));
        return TRUE;
    }
    return FALSE;
}
