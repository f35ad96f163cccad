#pragma once
// A list view in report mode: columns, rows with sub-item texts and a pointer-sized value.

#include <windows.h>
#include <commctrl.h>

#include "platform/ui/UiControl.h"

class CUiListCtrl : public CUiControl {
public:
    bool Create(DWORD style, const RECT& rect, HWND parent, int controlId);

    // The column's index, -1 on failure.
    int InsertColumn(int index, const std::wstring& heading, int width) const;
    // The row's index, -1 on failure.
    int InsertItem(int index, const std::wstring& text, LPARAM data = 0) const;
    bool SetItemText(int item, int subItem, const std::wstring& text) const;
    std::wstring GetItemText(int item, int subItem) const;
    LPARAM GetItemData(int item) const;
    int GetItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
    bool DeleteAllItems() const { return Send(LVM_DELETEALLITEMS) != FALSE; }
};
