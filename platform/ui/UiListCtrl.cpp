#include "platform/ui/UiListCtrl.h"

#include <vector>

bool CUiListCtrl::Create(DWORD style, const RECT& rect, HWND parent, int controlId) {
    return CreateControl(WC_LISTVIEWW, L"", style | LVS_REPORT, rect, parent, controlId, WS_EX_CLIENTEDGE);
}

int CUiListCtrl::InsertColumn(int index, const std::wstring& heading, int width) const {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(heading.c_str());
    column.cx = width;
    column.iSubItem = index;
    return static_cast<int>(Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}

int CUiListCtrl::InsertItem(int index, const std::wstring& text, LPARAM data) const {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.lParam = data;
    return static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CUiListCtrl::SetItemText(int item, int subItem, const std::wstring& text) const {
    LVITEMW change{};
    change.iSubItem = subItem;
    change.pszText = const_cast<wchar_t*>(text.c_str());
    return Send(LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&change)) != FALSE;
}

std::wstring CUiListCtrl::GetItemText(int item, int subItem) const {
    std::vector<wchar_t> buffer(1024, L'\0');
    LVITEMW query{};
    query.iSubItem = subItem;
    query.pszText = buffer.data();
    query.cchTextMax = static_cast<int>(buffer.size());
    const LRESULT length = Send(LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&query));
    if (length <= 0) return {};
    return std::wstring(buffer.data(), static_cast<size_t>(length) < buffer.size() ? static_cast<size_t>(length) : 0);
}

LPARAM CUiListCtrl::GetItemData(int item) const {
    LVITEMW query{};
    query.mask = LVIF_PARAM;
    query.iItem = item;
    return Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query)) ? query.lParam : 0;
}
