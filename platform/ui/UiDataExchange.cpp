#include "platform/ui/UiDataExchange.h"

#include "platform/ui/UiWindowText.h"

void CUiDataExchange::Check(int controlId, BOOL& value) const {
    if (saveAndValidate_) {
        value = static_cast<BOOL>(IsDlgButtonChecked(dialog_, controlId));
    } else {
        CheckDlgButton(dialog_, controlId, static_cast<UINT>(value));
    }
}

void CUiDataExchange::Text(int controlId, std::wstring& value) const {
    HWND control = GetDlgItem(dialog_, controlId);
    if (saveAndValidate_) {
        value = GetWindowTextString(control);
    } else {
        SetWindowTextW(control, value.c_str());
    }
}
