#pragma once
// One page of a property sheet, on a dialog template. The page reads its values when it is first
// shown (OnInitDialog), hands them back when the user leaves it (OnKillActive) and writes them
// when the sheet is closed with OK (OnOK); Cancel reaches OnCancel.

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>

#include "platform/ui/UiDialog.h"

class CUiPropertySheet;

class CUiPropertyPage : public CUiDialog {
public:
    explicit CUiPropertyPage(UINT templateId, HINSTANCE resourceModule = nullptr);

    // The tab's text; empty keeps the template's caption.
    void SetTitle(const std::wstring& title) { title_ = title; }
    // What PropertySheetW needs to make this page; valid while the page lives.
    PROPSHEETPAGEW Describe() const;

protected:
    // Optional: the page is about to show; FALSE refuses.
    virtual BOOL OnSetActive();
    // Optional: the page is being left; the base reads the controls. FALSE keeps the page.
    virtual BOOL OnKillActive();
    // Optional: the sheet was closed with OK; the base does nothing.
    void OnOK() override;
    // Optional: the sheet was cancelled; the base does nothing.
    void OnCancel() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static INT_PTR CALLBACK PageDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::wstring title_;
};
