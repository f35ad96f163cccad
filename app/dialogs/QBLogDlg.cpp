#include "app/dialogs/QBLogDlg.h"

#include "app/dialogs/DialogResources.h"

CQBLogDlg::CQBLogDlg() : CUiDialog(IDD_QB_LOG) {}

const CUiMessageMap& CQBLogDlg::GetMessageMap() const {
    static const CUiMessageMap map(&CUiDialog::GetMessageMap(), {
        UiOnMessage(WM_SIZE, &CQBLogDlg::OnSize),
    });
    return map;
}

BOOL CQBLogDlg::OnInitDialog() {
    CUiDialog::OnInitDialog();
    SetDlgItemTextW(Hwnd(), IDC_QB_LOG_TEXT, text_.c_str());
    Layout();
    // The focus on OK, so the report is not shown all selected.
    SetFocus(GetDlgItem(Hwnd(), IDOK));
    return FALSE;
}

LRESULT CQBLogDlg::OnSize(WPARAM, LPARAM) {
    Layout();
    return 0;
}

void CQBLogDlg::Layout() {
    RECT client{};
    if (!GetClientRect(Hwnd(), &client)) return;
    const int w = client.right;
    const int h = client.bottom;
    MoveWindow(GetDlgItem(Hwnd(), IDC_QB_LOG_TEXT), 10, 10, w - 20, h - 55, TRUE);
    MoveWindow(GetDlgItem(Hwnd(), IDOK), w - 90, h - 35, 80, 25, TRUE);
}
