#include "platform/ui/UiTreeCtrl.h"

#include <vector>

bool CUiTreeCtrl::Create(DWORD style, const RECT& rect, HWND parent, int controlId) {
    return CreateControl(WC_TREEVIEWW, L"", style, rect, parent, controlId, WS_EX_CLIENTEDGE);
}

HTREEITEM CUiTreeCtrl::InsertItem(const std::wstring& text, HTREEITEM parent, HTREEITEM after, int image,
                                  LPARAM data) const {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    insert.item.lParam = data;
    return reinterpret_cast<HTREEITEM>(Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

LPARAM CUiTreeCtrl::GetItemData(HTREEITEM item) const {
    TVITEMW query{};
    query.mask = TVIF_PARAM | TVIF_HANDLE;
    query.hItem = item;
    return Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query)) ? query.lParam : 0;
}

std::wstring CUiTreeCtrl::GetItemText(HTREEITEM item) const {
    std::vector<wchar_t> buffer(1024, L'\0');
    TVITEMW query{};
    query.mask = TVIF_TEXT | TVIF_HANDLE;
    query.hItem = item;
    query.pszText = buffer.data();
    query.cchTextMax = static_cast<int>(buffer.size());
    if (!Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query))) return {};
    // The control may answer with its own buffer instead of ours.
    return query.pszText != nullptr ? std::wstring(query.pszText) : std::wstring();
}

bool CUiTreeCtrl::SetItemImage(HTREEITEM item, int image) const {
    TVITEMW change{};
    change.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
    change.hItem = item;
    change.iImage = image;
    change.iSelectedImage = image;
    return Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change)) != FALSE;
}

int CUiTreeCtrl::GetItemImage(HTREEITEM item) const {
    TVITEMW query{};
    query.mask = TVIF_IMAGE | TVIF_HANDLE;
    query.hItem = item;
    return Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query)) ? query.iImage : -1;
}
