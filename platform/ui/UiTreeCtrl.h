#pragma once
// A tree view: items with text, image and a pointer-sized value.

#include <windows.h>
#include <commctrl.h>

#include "platform/ui/UiControl.h"

class CUiTreeCtrl : public CUiControl {
public:
    bool Create(DWORD style, const RECT& rect, HWND parent, int controlId);

    // Null when the control refused.
    HTREEITEM InsertItem(const std::wstring& text, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST,
                         int image = 0, LPARAM data = 0) const;
    bool DeleteAllItems() const { return Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)) != FALSE; }
    bool Expand(HTREEITEM item, UINT code = TVE_EXPAND) const {
        return Send(TVM_EXPAND, code, reinterpret_cast<LPARAM>(item)) != FALSE;
    }
    LPARAM GetItemData(HTREEITEM item) const;
    std::wstring GetItemText(HTREEITEM item) const;
    // Normal and selected image are the same.
    bool SetItemImage(HTREEITEM item, int image) const;
    int GetItemImage(HTREEITEM item) const;
    HTREEITEM GetRootItem() const { return Next(nullptr, TVGN_ROOT); }
    HTREEITEM GetChildItem(HTREEITEM item) const { return Next(item, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return Next(item, TVGN_NEXT); }
    HTREEITEM GetParentItem(HTREEITEM item) const { return Next(item, TVGN_PARENT); }
    UINT GetCount() const { return static_cast<UINT>(Send(TVM_GETCOUNT)); }
    // The previous list.
    HIMAGELIST SetImageList(HIMAGELIST images) const {
        return reinterpret_cast<HIMAGELIST>(Send(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images)));
    }
    void SetBkColor(COLORREF colour) const { Send(TVM_SETBKCOLOR, 0, static_cast<LPARAM>(colour)); }
    void SetIndent(int indent) const { Send(TVM_SETINDENT, static_cast<WPARAM>(indent)); }

private:
    HTREEITEM Next(HTREEITEM item, UINT relation) const {
        return reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }
};
