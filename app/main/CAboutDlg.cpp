#include "app/main/CAboutDlg.h"

#include "app/main/FileVersion.h"
#include "app/main/resource.h"
#include "platform/ui/UiLanguageModule.h"

CAboutDlg::CAboutDlg(HMODULE resourceModule) : CUiDialog(IDD_ABOUTBOX), resourceModule_(resourceModule) {}

BOOL CAboutDlg::OnInitDialog() {
    CUiDialog::OnInitDialog();
    SetWindowTextW(Hwnd(), CUiLanguageModule::TextOr(resourceModule_, IDS_ABOUT_CAPTION, L"About Quillbay...").c_str());
    const std::wstring nameAndVersion = CUiLanguageModule::TextOr(resourceModule_, IDS_PRODUCT_NAME, L"Quillbay") +
                                        L"\r\nVersion " + GetFileVersionString();
    SetDlgItemTextW(Hwnd(), IDC_ABOUT_NAME_VERSION, nameAndVersion.c_str());
    return TRUE;
}

void ShowAboutBox(HMODULE resourceModule, HWND parent) { CAboutDlg(resourceModule).DoModal(parent); }
