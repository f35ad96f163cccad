#pragma once
// Moves values between a dialog's members and its controls, in the direction UpdateData asks:
// to the controls when the dialog opens, back to the members on OK.

#include <windows.h>

#include <string>

class CUiDataExchange {
public:
    CUiDataExchange(HWND dialog, bool saveAndValidate) : dialog_(dialog), saveAndValidate_(saveAndValidate) {}

    // True when values go from the controls to the members.
    bool SaveAndValidate() const { return saveAndValidate_; }

    // A check box: BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    void Check(int controlId, BOOL& value) const;
    // The text of an edit or static control.
    void Text(int controlId, std::wstring& value) const;

private:
    HWND dialog_;
    bool saveAndValidate_;
};
