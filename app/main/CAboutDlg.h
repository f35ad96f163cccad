#pragma once
// The About box: the program's name and file version, in the texts of the language module.

#include "platform/ui/UiDialog.h"

class CAboutDlg : public CUiDialog {
public:
    // resourceModule: the language module (null: the built-in English texts).
    explicit CAboutDlg(HMODULE resourceModule);

protected:
    BOOL OnInitDialog() override;

private:
    HMODULE resourceModule_;
};

// Shows the About box modally over the parent.
void ShowAboutBox(HMODULE resourceModule, HWND parent);
