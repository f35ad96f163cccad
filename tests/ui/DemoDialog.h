#pragma once
// A modal options dialog: a check box and an edit exchanged with members, texts from the
// language module.

#include <string>

#include "platform/ui/UiDialog.h"
#include "tests/ui/DemoEventLog.h"

class CDemoDialog : public CUiDialog {
public:
    CDemoDialog(CDemoEventLog& log, HMODULE language);

    BOOL remember = FALSE;
    std::wstring name;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void DoDataExchange(CUiDataExchange& exchange) override;

private:
    CDemoEventLog& log_;
    HMODULE language_;
};
