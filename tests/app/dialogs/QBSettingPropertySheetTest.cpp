#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "app/dialogs/DialogResources.h"
#include "app/dialogs/QBSettingPropertySheet.h"
#include "library/util/Settings.h"
#include "platform/ui/UiLanguageModule.h"
#include "tests/app/dialogs/DialogTestSupport.h"
#include "tests/support/UiTestThread.h"
#include "tests/support/WindowDriver.h"

namespace {

const DWORD kWaitMs = 30000;

class FakeActions : public IQBSettingActions {
public:
    void ShowAbout(HWND) override { ++aboutShown; }
    // Recorded, never started: a detector left running would outlive the test program.
    void StartDetector(const std::wstring& path) override { detectorStarts.push_back(path); }
    void LaunchUpdateChecker() override { ++updateChecks; }
    bool LaunchSetup() override {
        ++setupStarts;
        return setupStarts_succeed;
    }

    int aboutShown = 0;
    std::vector<std::wstring> detectorStarts;
    int updateChecks = 0;
    int setupStarts = 0;
    bool setupStarts_succeed = true;
};

// The sheet runs modally on a thread of its own, in the language asked for; the test drives it.
class SettingsSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&controls);
        ASSERT_TRUE(player_.IsActive());
        ASSERT_NE(TestLanguageModule(), nullptr);
    }

    void TearDown() override {
        if (IsWindow(sheet_)) PostMessageW(sheet_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        EXPECT_TRUE(ui_.Join(kWaitMs));
    }

    bool Open(const CQBSettingPropertySheet::Options& options, LANGID language = 0x0409) {
        language_ = language;
        if (!ui_.Start([this, options, language] {
            UseLanguage(language);
            std::wstring caption;
            CUiLanguageModule::LoadText(TestLanguageModule(), 120, caption);
            CQBSettingPropertySheet sheet(caption, TestLanguageModule(), options, actions_);
            result_ = sheet.DoModal(nullptr);
        })) {
            return false;
        }
        sheet_ = WaitUntil(
                     [this] {
                         found_ = FindThreadWindow(ui_.ThreadId(), L"#32770", Caption());
                         return found_ != nullptr;
                     },
                     kWaitMs)
                     ? found_
                     : nullptr;
        return sheet_ != nullptr;
    }

    std::wstring Caption() const {
        std::wstring caption;
        UseLanguage(language_);
        CUiLanguageModule::LoadText(TestLanguageModule(), 120, caption);
        UseLanguage(0x0409);
        return caption;
    }

    HWND Page(int tab) const {
        SendMessageW(sheet_, PSM_SETCURSEL, tab, 0);
        return reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0));
    }
    int TabCount() const {
        HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_GETTABCONTROL, 0, 0));
        return static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    }
    static bool Checked(HWND page, int control) {
        return SendDlgItemMessageW(page, control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    static bool Enabled(HWND page, int control) { return IsWindowEnabled(GetDlgItem(page, control)) != FALSE; }
    static bool Visible(HWND page, int control) { return IsWindowVisible(GetDlgItem(page, control)) != FALSE; }
    static void SetCheck(HWND page, int control, bool on) {
        SendDlgItemMessageW(page, control, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    INT_PTR PressAndWait(int button) {
        PostMessageW(sheet_, PSM_PRESSBUTTON, button, 0);
        EXPECT_TRUE(ui_.Join(kWaitMs));
        return result_;
    }

    static DWORD Setting(const wchar_t* name) {
        DWORD value = 0xDEADBEEF;
        ReadUserSetting(name, &value);
        return value;
    }
    static bool HasSetting(const wchar_t* name) {
        DWORD value = 0;
        return ReadUserSetting(name, &value);
    }

    CScratchPlayer player_;
    FakeActions actions_;
    CUiTestThread ui_;
    LANGID language_ = 0x0409;
    HWND sheet_ = nullptr;
    HWND found_ = nullptr;
    INT_PTR result_ = -2;
};

const CQBSettingPropertySheet::Options kCarAudio{false, false, true};
const CQBSettingPropertySheet::Options kPlain{false, false, false};

}  // namespace

TEST_F(SettingsSheetTest, EmptyRegistryShowsTheDefaultsAndOkStoresThem) {
    ASSERT_TRUE(Open(kCarAudio));
    EXPECT_EQ(TabCount(), 5);
    HWND general = Page(0);
    EXPECT_FALSE(Checked(general, IDC_QB_AUTO_EXEC));
    EXPECT_TRUE(Visible(general, IDC_QB_COVER_ART_ON));
    EXPECT_TRUE(Checked(general, IDC_QB_COVER_ART_ON));
    EXPECT_FALSE(Checked(general, IDC_QB_COVER_ART_OFF));
    EXPECT_TRUE(Visible(general, IDC_QB_ABOUT));
    HWND movie = Page(1);
    EXPECT_TRUE(Checked(movie, IDC_QB_MOVIE_CONVERT));
    EXPECT_TRUE(Checked(movie, IDC_QB_MOVIE_SIZE_0));
    EXPECT_TRUE(Enabled(movie, IDC_QB_MOVIE_SIZE_1));
    HWND analysis = Page(2);
    EXPECT_TRUE(Checked(analysis, IDC_QB_ANALYSIS_MODE_2));
    EXPECT_TRUE(Enabled(analysis, IDC_QB_ANALYSIS_MODE_0));
    HWND update = Page(3);
    EXPECT_TRUE(Checked(update, IDC_QB_AUTO_UPDATE));
    EXPECT_TRUE(Checked(update, IDC_QB_UPDATE_MODE_2));
    EXPECT_TRUE(Enabled(update, IDC_QB_UPDATE_MODE_0));
    EXPECT_NE(Page(4), nullptr);

    EXPECT_EQ(PressAndWait(PSBTN_OK), IDOK);
    EXPECT_EQ(Setting(L"AutoExec"), 0u);
    EXPECT_EQ(Setting(L"GNCoverArt"), 1u);
    EXPECT_EQ(Setting(L"MovieConvert"), 1u);
    EXPECT_EQ(Setting(L"MovieConvertSize"), 0u);
    EXPECT_EQ(Setting(L"AnalysisMode"), 2u);
    EXPECT_EQ(Setting(L"AutoUpdate"), 1u);
    EXPECT_EQ(Setting(L"AutoUpdatemode"), 2u);
    EXPECT_FALSE(HasSetting(L"MovieConvertCaution"));
}

TEST_F(SettingsSheetTest, ControlsSetFromTheTestThreadAreStoredOnOk) {
    ASSERT_TRUE(Open(kCarAudio));
    HWND general = Page(0);
    SetCheck(general, IDC_QB_AUTO_EXEC, true);
    SetCheck(general, IDC_QB_COVER_ART_ON, false);
    SetCheck(general, IDC_QB_COVER_ART_OFF, true);
    HWND movie = Page(1);
    SetCheck(movie, IDC_QB_MOVIE_SIZE_0, false);
    SetCheck(movie, IDC_QB_MOVIE_SIZE_1, true);
    HWND analysis = Page(2);
    SetCheck(analysis, IDC_QB_ANALYSIS_MODE_2, false);
    SetCheck(analysis, IDC_QB_ANALYSIS_MODE_0, true);
    HWND update = Page(3);
    SendClick(GetDlgItem(update, IDC_QB_AUTO_UPDATE));
    EXPECT_FALSE(Enabled(update, IDC_QB_UPDATE_MODE_0));
    SetCheck(update, IDC_QB_UPDATE_MODE_2, false);
    SetCheck(update, IDC_QB_UPDATE_MODE_1, true);
    SendClick(GetDlgItem(update, IDC_QB_UPDATE_NOW));
    EXPECT_EQ(actions_.updateChecks, 1);

    EXPECT_EQ(PressAndWait(PSBTN_OK), IDOK);
    EXPECT_EQ(Setting(L"AutoExec"), 1u);
    EXPECT_EQ(Setting(L"GNCoverArt"), 0u);
    EXPECT_EQ(Setting(L"MovieConvertSize"), 1u);
    EXPECT_EQ(Setting(L"AnalysisMode"), 0u);
    EXPECT_EQ(Setting(L"AutoUpdate"), 0u);
    EXPECT_EQ(Setting(L"AutoUpdatemode"), 1u);
    // The detector's logon entry names the detector beside the program.
    wchar_t run[MAX_PATH * 2] = {};
    DWORD size = sizeof(run);
    ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                           L"QuillbayDetector.exe", RRF_RT_REG_SZ, nullptr, run, &size),
              ERROR_SUCCESS);
    EXPECT_THAT(std::wstring(run), ::testing::EndsWith(L"\\QuillbayDetector.exe"));
    EXPECT_THAT(actions_.detectorStarts, ::testing::ElementsAre(std::wstring(run)));
}

TEST_F(SettingsSheetTest, TurningAutoExecOffLeavesTheRunEntry) {
    ASSERT_TRUE(WriteSettingDword(L"AutoExec", 1));
    HKEY run = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &run, nullptr),
              ERROR_SUCCESS);
    const wchar_t kEntry[] = L"C:\\Old\\QuillbayDetector.exe";
    RegSetValueExW(run, L"QuillbayDetector.exe", 0, REG_SZ, reinterpret_cast<const BYTE*>(kEntry), sizeof(kEntry));
    ASSERT_TRUE(Open(kPlain));
    HWND general = Page(0);
    EXPECT_TRUE(Checked(general, IDC_QB_AUTO_EXEC));
    SendClick(GetDlgItem(general, IDC_QB_AUTO_EXEC));
    EXPECT_EQ(PressAndWait(PSBTN_OK), IDOK);
    EXPECT_EQ(Setting(L"AutoExec"), 0u);
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof(value);
    EXPECT_EQ(RegQueryValueExW(run, L"QuillbayDetector.exe", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(value, kEntry);
    EXPECT_TRUE(actions_.detectorStarts.empty());
    RegCloseKey(run);
}

TEST_F(SettingsSheetTest, ClickingTheConversionBoxTwiceSetsTheCautionAndKeepsConversion) {
    ASSERT_TRUE(Open(kPlain));
    HWND movie = Page(1);
    SendClick(GetDlgItem(movie, IDC_QB_MOVIE_CONVERT));
    EXPECT_FALSE(Checked(movie, IDC_QB_MOVIE_CONVERT));
    EXPECT_FALSE(Enabled(movie, IDC_QB_MOVIE_SIZE_0));
    EXPECT_FALSE(Enabled(movie, IDC_QB_MOVIE_SIZE_1_NOTE));
    EXPECT_EQ(Setting(L"MovieConvertCaution"), 1u);
    ASSERT_TRUE(WriteSettingDword(L"MovieConvertCaution", 0));
    SendClick(GetDlgItem(movie, IDC_QB_MOVIE_CONVERT));
    EXPECT_TRUE(Checked(movie, IDC_QB_MOVIE_CONVERT));
    EXPECT_TRUE(Enabled(movie, IDC_QB_MOVIE_SIZE_0));
    // Each click stores it, even though the box ends as it was.
    EXPECT_EQ(Setting(L"MovieConvertCaution"), 1u);
    EXPECT_EQ(PressAndWait(PSBTN_CANCEL), IDCANCEL);
    EXPECT_EQ(Setting(L"MovieConvertCaution"), 1u);
    EXPECT_FALSE(HasSetting(L"MovieConvert"));
}

TEST_F(SettingsSheetTest, WithoutCarAudioThereAreFourTabsAndNoCoverArt) {
    ASSERT_TRUE(WriteSettingDword(L"GNCoverArt", 0));
    ASSERT_TRUE(Open(CQBSettingPropertySheet::Options{true, false, false}));
    EXPECT_EQ(TabCount(), 4);
    HWND general = Page(0);
    for (int control : {IDC_QB_COVER_ART_GROUP, IDC_QB_COVER_ART_ON, IDC_QB_COVER_ART_OFF, IDC_QB_COVER_ART_NOTE,
                        IDC_QB_ABOUT}) {
        EXPECT_FALSE(Visible(general, control)) << control;
    }
    EXPECT_EQ(PressAndWait(PSBTN_OK), IDOK);
    EXPECT_EQ(Setting(L"GNCoverArt"), 0u);
    // Pages never shown write nothing.
    EXPECT_TRUE(HasSetting(L"AutoExec"));
    EXPECT_FALSE(HasSetting(L"MovieConvert"));
    EXPECT_FALSE(HasSetting(L"AnalysisMode"));
    EXPECT_FALSE(HasSetting(L"AutoUpdate"));
}

TEST_F(SettingsSheetTest, LockedAnalysisShowsModeOneDisabledAndWritesNothing) {
    ASSERT_TRUE(WriteSettingDword(L"AnalysisMode", 0));
    ASSERT_TRUE(Open(CQBSettingPropertySheet::Options{false, true, false}));
    HWND analysis = Page(2);
    EXPECT_TRUE(Checked(analysis, IDC_QB_ANALYSIS_MODE_1));
    EXPECT_FALSE(Checked(analysis, IDC_QB_ANALYSIS_MODE_0));
    for (int control : {IDC_QB_ANALYSIS_MODE_0, IDC_QB_ANALYSIS_MODE_1, IDC_QB_ANALYSIS_MODE_2,
                        IDC_QB_ANALYSIS_NOTE_0, IDC_QB_ANALYSIS_NOTE_1, IDC_QB_ANALYSIS_NOTE_2}) {
        EXPECT_FALSE(Enabled(analysis, control)) << control;
    }
    std::wstring locked;
    CUiLanguageModule::LoadText(TestLanguageModule(), 272, locked);
    EXPECT_EQ(WindowText(GetDlgItem(analysis, IDC_QB_ANALYSIS_GROUP)), locked);
    EXPECT_TRUE(Photograph(sheet_, L"settings_analysis_locked_English"));
    EXPECT_EQ(PressAndWait(PSBTN_OK), IDOK);
    EXPECT_EQ(Setting(L"AnalysisMode"), 0u);
}

TEST_F(SettingsSheetTest, OutOfRangeValuesShowNoButtonAndAnUncheckedGroupWritesItsHighestValue) {
    ASSERT_TRUE(WriteSettingDword(L"MovieConvertSize", 7));
    ASSERT_TRUE(WriteSettingDword(L"AnalysisMode", 3));
    ASSERT_TRUE(WriteSettingDword(L"AutoUpdatemode", 0xFFFFFFFF));
    ASSERT_TRUE(Open(kPlain));
    HWND movie = Page(1);
    EXPECT_FALSE(Checked(movie, IDC_QB_MOVIE_SIZE_0));
    EXPECT_FALSE(Checked(movie, IDC_QB_MOVIE_SIZE_1));
    HWND analysis = Page(2);
    EXPECT_FALSE(Checked(analysis, IDC_QB_ANALYSIS_MODE_2));
    HWND update = Page(3);
    EXPECT_FALSE(Checked(update, IDC_QB_UPDATE_MODE_0));
    EXPECT_EQ(PressAndWait(PSBTN_OK), IDOK);
    EXPECT_EQ(Setting(L"MovieConvertSize"), 1u);
    EXPECT_EQ(Setting(L"AnalysisMode"), 2u);
    EXPECT_EQ(Setting(L"AutoUpdatemode"), 2u);
}

TEST_F(SettingsSheetTest, CancelWritesNothing) {
    ASSERT_TRUE(Open(kCarAudio));
    SetCheck(Page(0), IDC_QB_AUTO_EXEC, true);
    Page(1);
    Page(2);
    Page(3);
    EXPECT_EQ(PressAndWait(PSBTN_CANCEL), IDCANCEL);
    for (const wchar_t* name : {L"AutoExec", L"GNCoverArt", L"MovieConvert", L"MovieConvertSize", L"AnalysisMode",
                                L"AutoUpdate", L"AutoUpdatemode", L"MovieConvertCaution"}) {
        EXPECT_FALSE(HasSetting(name)) << name;
    }
}

TEST_F(SettingsSheetTest, RefreshEndsTheSheetWithFiveOnceTheWizardStarts) {
    ASSERT_TRUE(Open(kCarAudio));
    HWND refresh = Page(4);
    actions_.setupStarts_succeed = false;
    ASSERT_TRUE(PostClick(GetDlgItem(refresh, IDC_QB_REFRESH_START)));
    HWND question = WaitForOwnedDialog(ui_.ThreadId(), kWaitMs);
    ASSERT_NE(question, nullptr);
    EXPECT_TRUE(Photograph(question, L"settings_refresh_question_English"));
    SendClick(GetDlgItem(question, IDOK));
    ASSERT_TRUE(WaitUntil([this] { return actions_.setupStarts == 1; }, kWaitMs));
    // The wizard did not start: the sheet stays.
    EXPECT_TRUE(IsWindow(sheet_));

    actions_.setupStarts_succeed = true;
    ASSERT_TRUE(PostClick(GetDlgItem(refresh, IDC_QB_REFRESH_START)));
    question = WaitForOwnedDialog(ui_.ThreadId(), kWaitMs);
    ASSERT_NE(question, nullptr);
    SendClick(GetDlgItem(question, IDCANCEL));
    ASSERT_TRUE(PostClick(GetDlgItem(refresh, IDC_QB_REFRESH_START)));
    question = WaitForOwnedDialog(ui_.ThreadId(), kWaitMs);
    ASSERT_NE(question, nullptr);
    SendClick(GetDlgItem(question, IDOK));
    ASSERT_TRUE(ui_.Join(kWaitMs));
    EXPECT_EQ(actions_.setupStarts, 2);
    EXPECT_EQ(result_, 5);
    EXPECT_FALSE(HasSetting(L"AutoExec"));
}

TEST_F(SettingsSheetTest, AboutButtonAsksForTheAboutBox) {
    ASSERT_TRUE(Open(kPlain));
    SendClick(GetDlgItem(Page(0), IDC_QB_ABOUT));
    EXPECT_EQ(actions_.aboutShown, 1);
}

class SettingsSheetPicturesTest : public SettingsSheetTest, public ::testing::WithParamInterface<LANGID> {};

TEST_P(SettingsSheetPicturesTest, EveryPageIsPhotographed) {
    ASSERT_TRUE(Open(kCarAudio, GetParam()));
    const wchar_t* names[] = {L"general", L"video", L"analysis", L"update", L"refresh"};
    for (int tab = 0; tab < 5; ++tab) {
        Page(tab);
        EXPECT_TRUE(Photograph(sheet_, std::wstring(L"settings_") + names[tab] + L"_" + LanguageName(GetParam())))
            << tab;
    }
    std::wstring generalTab;
    UseLanguage(GetParam());
    CUiLanguageModule::LoadText(TestLanguageModule(), 246, generalTab);
    UseLanguage(0x0409);
    HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_GETTABCONTROL, 0, 0));
    wchar_t text[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    // The tab control lives in the sheet's thread; the text is copied across by the system.
    ASSERT_TRUE(SendMessageW(tabs, TCM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(std::wstring(text), generalTab);
}

INSTANTIATE_TEST_SUITE_P(Languages, SettingsSheetPicturesTest, ::testing::Values(LANGID(0x0409), LANGID(0x0411)));
