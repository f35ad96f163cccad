#include "tests/ui/DemoPage.h"

#include "tests/ui/DemoResources.h"

const CUiMessageMap& CDemoPage::GetMessageMap() const {
    static const CUiMessageMap map(&CUiPropertyPage::GetMessageMap(), {
        UiOnCommand(IDC_DEMO_PAGE_REFRESH, &CDemoPage::OnRefresh),
    });
    return map;
}

BOOL CDemoPage::OnInitDialog() {
    log_.Add(name_ + " OnInitDialog");
    return CUiPropertyPage::OnInitDialog();
}

BOOL CDemoPage::OnSetActive() {
    log_.Add(name_ + " OnSetActive");
    return CUiPropertyPage::OnSetActive();
}

BOOL CDemoPage::OnKillActive() {
    log_.Add(name_ + " OnKillActive");
    return CUiPropertyPage::OnKillActive();
}

void CDemoPage::OnOK() {
    log_.Add(name_ + " OnOK");
    savedStartWithSystem = startWithSystem;
    savedText = text;
}

void CDemoPage::OnCancel() { log_.Add(name_ + " OnCancel"); }

void CDemoPage::DoDataExchange(CUiDataExchange& exchange) {
    if (TemplateId() == IDD_DEMO_PAGE_GENERAL) {
        exchange.Check(IDC_DEMO_PAGE_CHECK, startWithSystem);
    } else {
        exchange.Text(IDC_DEMO_PAGE_TEXT, text);
    }
}

void CDemoPage::OnRefresh() {
    log_.Add(name_ + " OnRefresh");
    if (sheet_ != nullptr) sheet_->EndSheet(5);
}
