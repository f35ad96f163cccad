#pragma once
// A settings page of the demo sheet. The general page exchanges a check box, the extra page an
// edit text and ends the sheet with result 5 from its "Refresh" button.

#include <string>

#include "platform/ui/UiPropertyPage.h"
#include "platform/ui/UiPropertySheet.h"
#include "tests/ui/DemoEventLog.h"

class CDemoPage : public CUiPropertyPage {
public:
    CDemoPage(UINT templateId, const std::string& name, CDemoEventLog& log, CUiPropertySheet* sheet = nullptr)
        : CUiPropertyPage(templateId), name_(name), log_(log), sheet_(sheet) {}

    const CUiMessageMap& GetMessageMap() const override;

    BOOL startWithSystem = FALSE;
    std::wstring text;
    // Values written on OK.
    BOOL savedStartWithSystem = FALSE;
    std::wstring savedText;

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    void OnOK() override;
    void OnCancel() override;
    void DoDataExchange(CUiDataExchange& exchange) override;

private:
    void OnRefresh();

    std::string name_;
    CDemoEventLog& log_;
    CUiPropertySheet* sheet_;
};
