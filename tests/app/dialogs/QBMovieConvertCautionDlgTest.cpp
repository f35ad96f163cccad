#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "app/dialogs/DialogResources.h"
#include "app/dialogs/QBLogDlg.h"
#include "app/dialogs/QBMovieConvertCautionDlg.h"
#include "library/util/Settings.h"
#include "platform/ui/UiLanguageModule.h"
#include "tests/app/dialogs/DialogTestSupport.h"
#include "tests/support/UiTestThread.h"
#include "tests/support/WindowDriver.h"

namespace {

const DWORD kWaitMs = 30000;

// Runs one modal dialog on a thread of its own and finds its window by title.
class ModalRun {
public:
    ~ModalRun() {
        if (IsWindow(window)) PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        ui_.Join(kWaitMs);
    }

    bool Start(CUiDialog& dialog, const std::wstring& title, LANGID language = 0x0409) {
        if (!ui_.Start([this, &dialog, language] {
                UseLanguage(language);
                result = dialog.DoModal(nullptr);
            })) {
            return false;
        }
        window = WaitForThreadWindow(ui_.ThreadId(), L"#32770", title, kWaitMs);
        return window != nullptr;
    }
    bool Finish(int button) {
        SendClick(GetDlgItem(window, button));
        return ui_.Join(kWaitMs);
    }
    bool Join() { return ui_.Join(kWaitMs); }

    HWND window = nullptr;
    INT_PTR result = -2;

private:
    CUiTestThread ui_;
};

// Each case has a scratch registry of its own (one at a time: the redirection is process-wide).
class CautionDlgTest : public ::testing::Test {
protected:
    static bool Has(const wchar_t* name, DWORD* value) { return ReadUserSetting(name, value); }
};

}  // namespace

TEST_F(CautionDlgTest, AnswersDecideConversionAndWhetherTheQuestionComesAgain) {
    const struct {
        const char* what;
        int button;
        bool tick;
        bool cautionBefore;  // "MovieConvertCaution" stored as 0 beforehand
        DWORD convert;
        int caution;  // -1 missing
    } cases[] = {
        {"OK, box unchecked", IDOK, false, false, 1, 1},
        {"OK, box checked", IDOK, true, false, 1, 1},
        {"Cancel, box unchecked", IDCANCEL, false, false, 0, -1},
        {"Cancel, box unchecked, caution stored 0", IDCANCEL, false, true, 0, 0},
        {"Cancel, box checked", IDCANCEL, true, false, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CScratchPlayer fresh;
        ASSERT_TRUE(fresh.IsActive());
        if (c.cautionBefore) {
            ASSERT_TRUE(WriteSettingDword(L"MovieConvertCaution", 0));
        }
        CQBMovieConvertCautionDlg dialog(TestLanguageModule());
        ModalRun run;
        ASSERT_TRUE(run.Start(dialog, L"Quillbay"));
        if (c.tick) SendClick(GetDlgItem(run.window, IDC_QB_CAUTION_DONT_ASK));
        ASSERT_TRUE(run.Finish(c.button));
        EXPECT_EQ(run.result, c.button);
        DWORD value = 0;
        ASSERT_TRUE(Has(L"MovieConvert", &value));
        EXPECT_EQ(value, c.convert);
        if (c.caution < 0) {
            EXPECT_FALSE(Has(L"MovieConvertCaution", &value));
        } else {
            ASSERT_TRUE(Has(L"MovieConvertCaution", &value));
            EXPECT_EQ(value, static_cast<DWORD>(c.caution));
        }
    }
}

TEST_F(CautionDlgTest, TextsComeFromTheLanguageModuleOrStayAsInTheTemplate) {
    CScratchPlayer player;
    ASSERT_TRUE(player.IsActive());
    CQBMovieConvertCautionDlg withTexts(TestLanguageModule());
    ModalRun run;
    ASSERT_TRUE(run.Start(withTexts, L"Quillbay"));
    std::wstring question;
    ASSERT_TRUE(CUiLanguageModule::LoadText(TestLanguageModule(), 243, question));
    EXPECT_EQ(WindowText(GetDlgItem(run.window, IDC_QB_MESSAGE_TEXT)), question);
    EXPECT_EQ(WindowText(GetDlgItem(run.window, IDOK)), L"Convert");
    ASSERT_TRUE(run.Finish(IDCANCEL));

    CQBMovieConvertCautionDlg withoutTexts(nullptr);
    ModalRun bare;
    ASSERT_TRUE(bare.Start(withoutTexts, L"Quillbay"));
    EXPECT_EQ(WindowText(GetDlgItem(bare.window, IDC_QB_CAUTION_DONT_ASK)), L"Do not ask again");
    ASSERT_TRUE(bare.Finish(IDCANCEL));
}

class CautionPicturesTest : public CautionDlgTest, public ::testing::WithParamInterface<LANGID> {};

TEST_P(CautionPicturesTest, TheQuestionIsPhotographed) {
    CScratchPlayer player;
    ASSERT_TRUE(player.IsActive());
    CQBMovieConvertCautionDlg dialog(TestLanguageModule());
    ModalRun run;
    ASSERT_TRUE(run.Start(dialog, L"Quillbay", GetParam()));
    EXPECT_TRUE(Photograph(run.window, std::wstring(L"caution_") + LanguageName(GetParam())));
    ASSERT_TRUE(run.Finish(IDCANCEL));
}

INSTANTIATE_TEST_SUITE_P(Languages, CautionPicturesTest, ::testing::Values(LANGID(0x0409), LANGID(0x0411)));

TEST(LogDlgTest, ShowsTheReportAndFollowsTheSize) {
    const std::wstring report =
        L"[Transfer]\r\nCopied: 12 songs\r\nSkipped: 1 song (file not found)\r\n\r\n[Conversion]\r\n"
        L"\x5909\x63db: 2 videos\r\n";
    CQBLogDlg dialog;
    dialog.SetText(report);
    ModalRun run;
    ASSERT_TRUE(run.Start(dialog, L"Log"));
    HWND edit = GetDlgItem(run.window, IDC_QB_LOG_TEXT);
    EXPECT_EQ(WindowText(edit), report);
    SetWindowPos(run.window, nullptr, 0, 0, 640, 480, SWP_NOMOVE | SWP_NOZORDER);
    RECT client{};
    GetClientRect(run.window, &client);
    RECT editRect{};
    GetWindowRect(edit, &editRect);
    MapWindowPoints(nullptr, run.window, reinterpret_cast<POINT*>(&editRect), 2);
    EXPECT_EQ(editRect.left, 10);
    EXPECT_EQ(editRect.top, 10);
    EXPECT_EQ(editRect.right - editRect.left, client.right - 20);
    EXPECT_EQ(editRect.bottom - editRect.top, client.bottom - 55);
    RECT ok{};
    GetWindowRect(GetDlgItem(run.window, IDOK), &ok);
    MapWindowPoints(nullptr, run.window, reinterpret_cast<POINT*>(&ok), 2);
    EXPECT_EQ(ok.left, client.right - 90);
    EXPECT_EQ(ok.top, client.bottom - 35);
    EXPECT_EQ(ok.right - ok.left, 80);
    EXPECT_TRUE(Photograph(run.window, L"log_English"));
    ASSERT_TRUE(run.Finish(IDOK));
    EXPECT_EQ(run.result, IDOK);
}

TEST(LogDlgTest, AnEmptyReportGivesAnEmptyBox) {
    CQBLogDlg dialog;
    ModalRun run;
    ASSERT_TRUE(run.Start(dialog, L"Log"));
    EXPECT_EQ(WindowText(GetDlgItem(run.window, IDC_QB_LOG_TEXT)), L"");
    ASSERT_TRUE(run.Finish(IDOK));
}
