#include "tests/ui/DemoDialog.h"

#include "platform/ui/UiLanguageModule.h"
#include "tests/ui/DemoResources.h"

CDemoDialog::CDemoDialog(CDemoEventLog& log, HMODULE language, UINT templateId, HINSTANCE templateModule)
    : CUiDialog(templateId, templateModule), log_(log), language_(language) {}

BOOL CDemoDialog::OnInitDialog() {
    log_.Add("OnInitDialog");
    CUiDialog::OnInitDialog();
    CUiLanguageModule::ApplyToWindow(language_, Hwnd(), IDS_DEMO_TITLE);
    CUiLanguageModule::ApplyToItem(language_, Hwnd(), IDC_DEMO_REMEMBER, IDS_DEMO_REMEMBER);
    CUiLanguageModule::ApplyToItem(language_, Hwnd(), IDC_DEMO_LABEL, IDS_DEMO_LABEL);
    return TRUE;
}

void CDemoDialog::OnOK() {
    log_.Add("OnOK");
    CUiDialog::OnOK();
}

void CDemoDialog::OnCancel() {
    log_.Add("OnCancel");
    CUiDialog::OnCancel();
}

void CDemoDialog::DoDataExchange(CUiDataExchange& exchange) {
    log_.Add(exchange.SaveAndValidate() ? "DoDataExchange save" : "DoDataExchange load");
    exchange.Check(IDC_DEMO_REMEMBER, remember);
    exchange.Text(IDC_DEMO_NAME, name);
}
