#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "platform/ui/UiPropertySheet.h"
#include "tests/support/UiTestThread.h"
#include "tests/support/WindowCapture.h"
#include "tests/support/WindowDriver.h"
#include "tests/ui/DemoPage.h"
#include "tests/ui/DemoResources.h"

using ::testing::ElementsAre;

namespace {

const DWORD kWindowWaitMs = 20000;

// The sheet runs modally on a user-interface thread; the test thread drives it.
class PropertySheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        general_.SetTitle(L"General");
        extra_.startWithSystem = FALSE;
        general_.startWithSystem = TRUE;
        extra_.text = L"first";
        sheet_.AddPage(&general_);
        sheet_.AddPage(&extra_);
        ASSERT_TRUE(ui_.Start([this] { result_ = sheet_.DoModal(nullptr); }));
        window_ = WaitForThreadWindow(ui_.ThreadId(), L"#32770", L"Demo settings", kWindowWaitMs);
        ASSERT_NE(window_, nullptr);
    }

    void TearDown() override {
        if (IsWindow(window_)) PostMessageW(window_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        EXPECT_TRUE(ui_.Join(kWindowWaitMs));
    }

    HWND CurrentPage() const {
        return reinterpret_cast<HWND>(SendMessageW(window_, PSM_GETCURRENTPAGEHWND, 0, 0));
    }

    CDemoEventLog log_;
    CUiPropertySheet sheet_{L"Demo settings"};
    CDemoPage general_{IDD_DEMO_PAGE_GENERAL, "General", log_};
    CDemoPage extra_{IDD_DEMO_PAGE_EXTRA, "Extra", log_, &sheet_};
    CUiTestThread ui_;
    HWND window_ = nullptr;
    INT_PTR result_ = -2;
};

}  // namespace

TEST_F(PropertySheetTest, OkWritesEveryPageThatWasShown) {
    HWND general = CurrentPage();
    ASSERT_NE(general, nullptr);
    EXPECT_EQ(SendDlgItemMessageW(general, IDC_DEMO_PAGE_CHECK, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendClick(GetDlgItem(general, IDC_DEMO_PAGE_CHECK));

    SendMessageW(window_, PSM_SETCURSEL, 1, 0);
    HWND extra = CurrentPage();
    ASSERT_NE(extra, general);
    EXPECT_EQ(WindowText(GetDlgItem(extra, IDC_DEMO_PAGE_TEXT)), L"first");
    SendDlgItemMessageW(extra, IDC_DEMO_PAGE_TEXT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"second"));

    CWindowCapture shot;
    ASSERT_TRUE(shot.Capture(window_));
    EXPECT_TRUE(shot.SavePng(ScreenshotPath(L"ui_property_sheet")));
    EXPECT_FALSE(shot.LooksBlank());

    PostMessageW(window_, PSM_PRESSBUTTON, PSBTN_OK, 0);
    ASSERT_TRUE(ui_.Join(kWindowWaitMs));

    EXPECT_EQ(result_, IDOK);
    EXPECT_EQ(general_.savedStartWithSystem, BST_UNCHECKED);
    EXPECT_EQ(extra_.savedText, L"second");
    EXPECT_THAT(log_.Events(),
                ElementsAre("General OnInitDialog", "General OnSetActive", "General OnKillActive",
                            "Extra OnInitDialog", "Extra OnSetActive", "Extra OnKillActive", "General OnOK",
                            "Extra OnOK"));
}

TEST_F(PropertySheetTest, CancelWritesNothing) {
    SendClick(GetDlgItem(CurrentPage(), IDC_DEMO_PAGE_CHECK));
    PostMessageW(window_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    ASSERT_TRUE(ui_.Join(kWindowWaitMs));

    EXPECT_EQ(result_, IDCANCEL);
    EXPECT_EQ(general_.savedStartWithSystem, FALSE);
    EXPECT_THAT(log_.Events(), ElementsAre("General OnInitDialog", "General OnSetActive", "General OnCancel"));
}

TEST_F(PropertySheetTest, APageCanEndTheSheetWithAResultOfItsOwn) {
    SendMessageW(window_, PSM_SETCURSEL, 1, 0);
    ASSERT_TRUE(PostClick(GetDlgItem(CurrentPage(), IDC_DEMO_PAGE_REFRESH)));
    ASSERT_TRUE(ui_.Join(kWindowWaitMs));

    EXPECT_EQ(result_, 5);
    EXPECT_TRUE(log_.Contains("Extra OnRefresh"));
    EXPECT_EQ(extra_.savedText, L"");
}
