#pragma once
// A modal options dialog: a check box and an edit exchanged with members, texts from the
// language module.

#include <string>

#include "platform/ui/UiDialog.h"
#include "tests/ui/DemoEventLog.h"
#include "tests/ui/DemoResources.h"

class CDemoDialog : public CUiDialog {
public:
    // The options template of the program unless another template (and its module) is given.
    CDemoDialog(CDemoEventLog& log, HMODULE language, UINT templateId = IDD_DEMO_OPTIONS, HINSTANCE templateModule = nullptr);

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
