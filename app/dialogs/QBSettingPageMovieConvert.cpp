#include "app/dialogs/QBSettingPageMovieConvert.h"

#include "app/dialogs/DialogResources.h"
#include "library/util/ModuleFolder.h"
#include "library/util/SettingNames.h"
#include "library/util/Settings.h"

namespace {

// HtmlHelpW of hhctrl.ocx, loaded when first asked for: most runs never open the help.
void ShowHelpTopic(HWND owner, const std::wstring& topic) {
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, const wchar_t*, UINT, DWORD_PTR);
    static HMODULE library = LoadLibraryW(L"hhctrl.ocx");
    if (library == nullptr) return;
    auto htmlHelp =
        reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpW")));
    if (htmlHelp == nullptr) return;
    const UINT kDisplayTopic = 0;
    htmlHelp(owner, topic.c_str(), kDisplayTopic, 0);
}

}  // namespace

CQBSettingPageMovieConvert::CQBSettingPageMovieConvert(HMODULE languageModule)
    : CQBSettingPage(IDD_QB_SETTING_MOVIE_CONVERT, languageModule, 267) {}

const CUiMessageMap& CQBSettingPageMovieConvert::GetMessageMap() const {
    static const CUiMessageMap map(&CQBSettingPage::GetMessageMap(), {
        UiOnCommand(IDC_QB_MOVIE_CONVERT, &CQBSettingPageMovieConvert::OnConvertClicked),
        UiOnCommand(IDC_QB_MOVIE_HELP, &CQBSettingPageMovieConvert::OnHelp),
    });
    return map;
}

BOOL CQBSettingPageMovieConvert::OnInitDialog() {
    ApplyTexts({{IDC_QB_MOVIE_GROUP, 250}, {IDC_QB_MOVIE_NOTE, 266}, {IDC_QB_MOVIE_CONVERT, 251},
                {IDC_QB_MOVIE_SIZE_0_NOTE, 253}, {IDC_QB_MOVIE_SIZE_1_NOTE, 255}, {IDC_QB_MOVIE_SIZE_0, 252},
                {IDC_QB_MOVIE_SIZE_1, 254}, {IDC_QB_MOVIE_HELP_NOTE, 256}, {IDC_QB_MOVIE_HELP, 257}});
    SetRadioGroup(IDC_QB_MOVIE_SIZE_0, 2, ReadSettingOr(settings::kMovieConvertSize, 0));
    const bool convert = ReadSettingOr(settings::kMovieConvert, 1) == 1;
    SetChecked(IDC_QB_MOVIE_CONVERT, convert);
    EnableSizeChoice(convert);
    return TRUE;
}

void CQBSettingPageMovieConvert::OnOK() {
    WriteSettingDword(settings::kMovieConvert, IsChecked(IDC_QB_MOVIE_CONVERT) ? 1 : 0);
    WriteSettingDword(settings::kMovieConvertSize, CheckedOffset(IDC_QB_MOVIE_SIZE_0, 2));
}

void CQBSettingPageMovieConvert::OnConvertClicked() {
    // The user has made the choice the caution dialog would ask for.
    WriteSettingDword(settings::kMovieConvertCaution, 1);
    EnableSizeChoice(IsChecked(IDC_QB_MOVIE_CONVERT));
}

void CQBSettingPageMovieConvert::OnHelp() {
    ShowHelpTopic(Hwnd(), GetLanguageFolder() + L"Quillbay Help.chm::/htm/T0050Settings.htm#set001");
}

void CQBSettingPageMovieConvert::EnableSizeChoice(bool enabled) const {
    EnableItems({IDC_QB_MOVIE_SIZE_0_NOTE, IDC_QB_MOVIE_SIZE_1_NOTE, IDC_QB_MOVIE_SIZE_0, IDC_QB_MOVIE_SIZE_1},
                enabled);
}
