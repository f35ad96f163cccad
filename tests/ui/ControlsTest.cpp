#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "platform/ui/UiButton.h"
#include "platform/ui/UiListCtrl.h"
#include "platform/ui/UiProgressCtrl.h"
#include "platform/ui/UiStatic.h"
#include "platform/ui/UiToolTipCtrl.h"
#include "platform/ui/UiTreeCtrl.h"
#include "tests/support/WindowCapture.h"

namespace {

// A visible host window for the controls, on the test thread.
class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        host_ = CreateWindowW(L"STATIC", L"", WS_POPUP | WS_VISIBLE | WS_BORDER, 40, 40, 420, 260, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(host_, nullptr);
    }
    void TearDown() override { DestroyWindow(host_); }

    static void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }

    HWND host_ = nullptr;
};

}  // namespace

TEST_F(ControlsTest, WrappersDriveTheirControls) {
    CUiStatic label;
    ASSERT_TRUE(label.Create(L"Free: 1.2 GB", WS_VISIBLE, RECT{10, 10, 200, 28}, host_, 1001));
    EXPECT_EQ(label.GetText(), L"Free: 1.2 GB");
    label.SetText(L"Free: 0.9 GB");
    EXPECT_EQ(label.GetText(), L"Free: 0.9 GB");

    CUiButton box;
    ASSERT_TRUE(box.Create(L"Remember", WS_VISIBLE | BS_AUTOCHECKBOX, RECT{10, 32, 200, 52}, host_, 1002));
    EXPECT_EQ(box.GetCheck(), BST_UNCHECKED);
    box.SetCheck(BST_CHECKED);
    EXPECT_EQ(box.GetCheck(), BST_CHECKED);
    CUiButton bound;
    ASSERT_TRUE(bound.Attach(host_, 1002));
    EXPECT_EQ(bound.GetCheck(), BST_CHECKED);
    EXPECT_FALSE(CUiButton().Attach(host_, 4242));
    box.Enable(false);
    EXPECT_FALSE(IsWindowEnabled(box.Hwnd()));

    CUiProgressCtrl progress;
    ASSERT_TRUE(progress.Create(WS_VISIBLE, RECT{10, 56, 200, 74}, host_, 1003));
    progress.SetRange(0, 200);
    EXPECT_EQ(progress.SetPos(150), 0);
    EXPECT_EQ(progress.GetPos(), 150);

    CUiTreeCtrl tree;
    ASSERT_TRUE(tree.Create(WS_VISIBLE | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT, RECT{210, 10, 410, 130},
                            host_, 1004));
    HTREEITEM root = tree.InsertItem(L"Player", TVI_ROOT, TVI_LAST, 3, 11);
    HTREEITEM music = tree.InsertItem(L"Music", root, TVI_LAST, 0, 12);
    HTREEITEM song = tree.InsertItem(L"Song.mp3", music, TVI_LAST, 6, 13);
    ASSERT_NE(song, nullptr);
    tree.Expand(root);
    tree.Expand(music);
    EXPECT_EQ(tree.GetCount(), 3u);
    EXPECT_EQ(tree.GetRootItem(), root);
    EXPECT_EQ(tree.GetChildItem(root), music);
    EXPECT_EQ(tree.GetParentItem(song), music);
    EXPECT_EQ(tree.GetNextSiblingItem(music), nullptr);
    EXPECT_EQ(tree.GetItemText(song), L"Song.mp3");
    EXPECT_EQ(tree.GetItemData(music), 12);
    EXPECT_TRUE(tree.SetItemImage(song, 7));
    EXPECT_EQ(tree.GetItemImage(song), 7);

    CUiListCtrl list;
    ASSERT_TRUE(list.Create(WS_VISIBLE, RECT{10, 140, 410, 250}, host_, 1005));
    EXPECT_EQ(list.InsertColumn(0, L"Name", 200), 0);
    EXPECT_EQ(list.InsertColumn(1, L"Size", 100), 1);
    EXPECT_EQ(list.InsertItem(0, L"Song.mp3", 21), 0);
    EXPECT_EQ(list.InsertItem(1, L"Clip.mp4", 22), 1);
    EXPECT_TRUE(list.SetItemText(1, 1, L"12 MB"));
    EXPECT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(list.GetItemText(1, 0), L"Clip.mp4");
    EXPECT_EQ(list.GetItemText(1, 1), L"12 MB");
    EXPECT_EQ(list.GetItemData(1), 22);

    Pump();
    CWindowCapture shot;
    ASSERT_TRUE(shot.Capture(host_));
    EXPECT_TRUE(shot.SavePng(ScreenshotPath(L"ui_controls")));
    EXPECT_FALSE(shot.LooksBlank());

    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_TRUE(tree.DeleteAllItems());
    EXPECT_EQ(tree.GetCount(), 0u);
}

TEST_F(ControlsTest, ToolTipTakesToolsAndRelayedMouseMessages) {
    CUiButton button;
    ASSERT_TRUE(button.Create(L"Settings", WS_VISIBLE, RECT{10, 10, 110, 40}, host_, 101));
    CUiToolTipCtrl tips;
    ASSERT_TRUE(tips.Create(host_));
    EXPECT_EQ(tips.GetToolCount(), 0);
    EXPECT_TRUE(tips.AddTool(button.Hwnd(), L"Open the settings"));
    EXPECT_EQ(tips.GetToolCount(), 1);
    MSG move{};
    move.hwnd = button.Hwnd();
    move.message = WM_MOUSEMOVE;
    move.lParam = MAKELPARAM(5, 5);
    tips.RelayEvent(&move);
    tips.Activate(false);
    EXPECT_TRUE(IsWindow(tips.Hwnd()));
}
