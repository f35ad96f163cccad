#pragma once
// A dialog on a template of the program's resources or of a resource module, modal (DoModal) or
// modeless (Create). OnInitDialog fills the controls from the members (DoDataExchange), OnOK
// reads them back and closes with IDOK, OnCancel closes with IDCANCEL.

#include <windows.h>

#include "platform/ui/UiDataExchange.h"
#include "platform/ui/UiWnd.h"

class CUiDialog : public CUiWnd {
public:
    // resourceModule: the module holding the template; null for the program's own resources.
    explicit CUiDialog(UINT templateId, HINSTANCE resourceModule = nullptr);

    // The value given to EndDialog (IDOK, IDCANCEL, ...); -1 when the dialog could not be made.
    // A null parent means the application's main window.
    INT_PTR DoModal(HWND parent = nullptr);
    // A modeless dialog; the message loop hands it its keyboard navigation.
    bool Create(HWND parent = nullptr);
    // Closes the dialog: ends DoModal with the result, or destroys a modeless dialog.
    void EndDialog(INT_PTR result);

    // Runs DoDataExchange; saveAndValidate TRUE reads the controls into the members.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    BOOL PreTranslateMessage(MSG* message) override;
    const CUiMessageMap& GetMessageMap() const override;

protected:
    // Optional: the base fills the controls; TRUE lets the system set the focus.
    virtual BOOL OnInitDialog();
    // Optional: the base reads the controls and closes with IDOK.
    virtual void OnOK();
    // Optional: the base closes with IDCANCEL.
    virtual void OnCancel();
    // Optional: the members exchanged with controls.
    virtual void DoDataExchange(CUiDataExchange& exchange);

    // Messages nobody handles go back to the dialog manager.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT TemplateId() const { return templateId_; }
    HINSTANCE ResourceModule() const;
    // The dialog procedure's body once the object is attached; for dialogs made by others
    // (property sheet pages).
    INT_PTR HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void AttachDialog(HWND hwnd) { Attach(hwnd); }

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnOKCommand() { OnOK(); }
    void OnCancelCommand() { OnCancel(); }

    UINT templateId_;
    HINSTANCE resourceModule_;
    bool modal_ = false;
    bool defaultReached_ = false;
};
