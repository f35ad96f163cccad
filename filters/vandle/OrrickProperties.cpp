#include "filters/vandle/OrrickProperties.h"

#include <cstring>
#include <vector>

#include "filters/vandle/VandleIds.h"

namespace {

constexpr short kPageWidth = 262;
constexpr short kPageHeight = 86;
constexpr WORD kListId = 1001;
constexpr wchar_t kPageText[] = L"VideoInfo and Color space Transform";
constexpr wchar_t kTitle[] = L"Orrick Filter";

// A dialog template in memory (the page carries no resources of its own).
class CTemplateWriter {
public:
    void Align() {
        while (bytes_.size() % 4 != 0) bytes_.push_back(0);
    }
    template <typename T>
    void Put(const T& value) {
        const auto* raw = reinterpret_cast<const BYTE*>(&value);
        bytes_.insert(bytes_.end(), raw, raw + sizeof(T));
    }
    void PutText(const wchar_t* text) {
        const auto* raw = reinterpret_cast<const BYTE*>(text);
        bytes_.insert(bytes_.end(), raw, raw + (wcslen(text) + 1) * sizeof(wchar_t));
    }
    void PutItem(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, const wchar_t* text) {
        Align();
        DLGITEMTEMPLATE item = {style | WS_CHILD | WS_VISIBLE, 0, x, y, cx, cy, id};
        Put(item);
        Put(static_cast<WORD>(0xFFFF));
        Put(atom);
        PutText(text);
        Put(static_cast<WORD>(0));
    }
    const DLGTEMPLATE* Template() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

private:
    std::vector<BYTE> bytes_;
};

void BuildPageTemplate(CTemplateWriter& writer) {
    DLGTEMPLATE dialog = {DS_SETFONT | DS_CONTROL | WS_CHILD, 0, 2, 0, 0, kPageWidth, kPageHeight};
    writer.Put(dialog);
    writer.Put(static_cast<WORD>(0));  // no menu
    writer.Put(static_cast<WORD>(0));  // the default class
    writer.Put(static_cast<WORD>(0));  // no title
    writer.Put(static_cast<WORD>(8));
    writer.PutText(L"MS Shell Dlg");
    writer.PutItem(SS_LEFT, 7, 7, 248, 10, 0xFFFF, 0x0082, kPageText);
    writer.PutItem(LBS_NOINTEGRALHEIGHT | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 7, 20, 248, 59, kListId, 0x0083, L"");
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
    CTemplateWriter writer;
    BuildPageTemplate(writer);
    window_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), writer.Template(), parent, DialogProc,
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
    const size_t bytes = sizeof(kTitle);
    auto* title = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (title == nullptr) return E_OUTOFMEMORY;
    std::memcpy(title, kTitle, bytes);
    info->cb = sizeof(PROPPAGEINFO);
    info->pszTitle = title;
    // The page's size in pixels from its size in dialog units.
    RECT units = {0, 0, kPageWidth, kPageHeight};
    const LONG base = GetDialogBaseUnits();
    info->size.cx = MulDiv(units.right, LOWORD(base), 4);
    info->size.cy = MulDiv(units.bottom, HIWORD(base), 8);
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
