#include "app/dialogs/QBSettingPageRavelin.h"

#include "app/dialogs/DialogResources.h"
#include "library/util/SettingNames.h"
#include "library/util/Settings.h"
#include "platform/ui/UiLanguageModule.h"

namespace {

const int kPictureMargin = 22;

}  // namespace

CQBSettingPageRavelin::CQBSettingPageRavelin(HMODULE languageModule, bool analysisLocked)
    : CQBSettingPage(IDD_QB_SETTING_RAVELIN, languageModule, 247), analysisLocked_(analysisLocked) {}

const CUiMessageMap& CQBSettingPageRavelin::GetMessageMap() const {
    static const CUiMessageMap map(&CQBSettingPage::GetMessageMap(), {
        UiOnMessage(WM_PAINT, &CQBSettingPageRavelin::OnPaint),
    });
    return map;
}

BOOL CQBSettingPageRavelin::OnInitDialog() {
    picture_.LoadResource(GetModuleHandleW(nullptr), IDR_QB_ANALYSIS_PICTURE, L"PNG");
    ApplyTexts({{IDC_QB_ANALYSIS_GROUP, 258}, {IDC_QB_ANALYSIS_MODE_0, 122}, {IDC_QB_ANALYSIS_NOTE_0, 123},
                {IDC_QB_ANALYSIS_MODE_1, 124}, {IDC_QB_ANALYSIS_NOTE_1, 128}, {IDC_QB_ANALYSIS_MODE_2, 129},
                {IDC_QB_ANALYSIS_NOTE_2, 130}});
    SetRadioGroup(IDC_QB_ANALYSIS_MODE_0, 3, ReadSettingOr(settings::kAnalysisMode, 2));
    if (analysisLocked_) {
        EnableItems({IDC_QB_ANALYSIS_MODE_0, IDC_QB_ANALYSIS_NOTE_0, IDC_QB_ANALYSIS_MODE_1, IDC_QB_ANALYSIS_NOTE_1,
                     IDC_QB_ANALYSIS_MODE_2, IDC_QB_ANALYSIS_NOTE_2},
                    false);
        SetRadioGroup(IDC_QB_ANALYSIS_MODE_0, 3, 1);
        ApplyTexts({{IDC_QB_ANALYSIS_GROUP, 272}});
    }
    return TRUE;
}

void CQBSettingPageRavelin::OnOK() {
    if (analysisLocked_) return;
    WriteSettingDword(settings::kAnalysisMode, CheckedOffset(IDC_QB_ANALYSIS_MODE_0, 3));
}

void CQBSettingPageRavelin::OnPaint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(Hwnd(), &paint);
    RECT client{};
    if (dc != nullptr && picture_.IsLoaded() && GetClientRect(Hwnd(), &client)) {
        const int width = static_cast<int>(picture_.Width());
        const int height = static_cast<int>(picture_.Height());
        picture_.Draw(dc, client.right - kPictureMargin - width, client.bottom - kPictureMargin - height, width,
                      height);
    }
    EndPaint(Hwnd(), &paint);
}
