#pragma once
// Shows the report of the last run in a read-only text box that follows the dialog's size.

#include <string>

#include "platform/ui/UiDialog.h"

class CQBLogDlg : public CUiDialog {
public:
    CQBLogDlg();

    // Set before the dialog is shown.
    void SetText(const std::wstring& text) { text_ = text; }

    const CUiMessageMap& GetMessageMap() const override;

protected:
    BOOL OnInitDialog() override;

private:
    LRESULT OnSize(WPARAM, LPARAM);
    void Layout();

    std::wstring text_;
};
