#pragma once
// A modal property sheet over PropertySheetW: pages in tab order, OK and Cancel (no Apply).
// DoModal answers IDOK, IDCANCEL, or the value a page gave to EndSheet.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/ui/UiPropertyPage.h"
#include "platform/ui/UiWnd.h"

class CUiPropertySheet : public CUiWnd {
public:
    explicit CUiPropertySheet(const std::wstring& caption, HINSTANCE resourceModule = nullptr);

    // The page must outlive the sheet's DoModal.
    void AddPage(CUiPropertyPage* page) { pages_.push_back(page); }
    void SetStartPage(UINT index) { startPage_ = index; }
    // A null parent means the application's main window. -1 when the sheet could not be made.
    INT_PTR DoModal(HWND parent = nullptr);
    // Closes the sheet as Cancel does; DoModal then answers this result.
    void EndSheet(INT_PTR result);

protected:
    // Optional: the sheet window and its pages' tabs exist (tab texts can be set here).
    virtual void OnInitSheet() {}

    // The sheet window belongs to the common controls: what it does not handle goes back there.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static int CALLBACK SheetCallback(HWND hwnd, UINT message, LPARAM lParam);
    static LRESULT CALLBACK SheetWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::wstring caption_;
    HINSTANCE resourceModule_;
    std::vector<CUiPropertyPage*> pages_;
    UINT startPage_ = 0;
    WNDPROC originalProc_ = nullptr;
    bool ended_ = false;
    INT_PTR endResult_ = 0;
};
