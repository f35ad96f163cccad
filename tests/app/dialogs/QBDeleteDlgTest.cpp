#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "app/dialogs/DialogResources.h"
#include "app/dialogs/QBDeleteDlg.h"
#include "platform/ui/UiLanguageModule.h"
#include "tests/app/dialogs/DialogTestSupport.h"
#include "tests/support/UiTestThread.h"
#include "tests/support/WindowDriver.h"

namespace {

const DWORD kWaitMs = 30000;

// Stands in for the coordinator: records what the dialog asks to delete.
class FakeRunner : public CQBDeleteDlg::IDeleteRunner {
public:
    void StartDelete(const std::vector<CQBTreeNode*>& nodes) override {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const CQBTreeNode* node : nodes) requested_.push_back(node->GetPath());
        ++starts_;
    }
    void CancelDelete() override { ++cancels; }

    int Starts() {
        std::lock_guard<std::mutex> lock(mutex_);
        return starts_;
    }
    std::vector<std::wstring> Requested() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requested_;
    }

    std::atomic<int> cancels{0};

private:
    std::mutex mutex_;
    int starts_ = 0;
    std::vector<std::wstring> requested_;
};

// A player's files as full paths below "\Music"; the tree is built from them as a device
// controller would.
std::unique_ptr<CQBTreeNode> BuildTree(const std::set<std::wstring>& files) {
    auto root = CQBTreeNode::NewFolder({L"\\Music"}, {L"Music"});
    CQBTreeNode* folder = nullptr;
    std::wstring folderPath;
    for (const std::wstring& path : files) {
        const size_t slash = path.rfind(L'\\');
        const std::wstring parent = path.substr(0, slash);
        if (parent != folderPath) {
            folderPath = parent;
            auto node = CQBTreeNode::NewFolder({parent}, {parent.substr(parent.rfind(L'\\') + 1)});
            folder = node.get();
            root->AddChild(node);
        }
        auto file = CQBTreeNode::NewFile({path}, {path.substr(slash + 1)}, 3000000);
        folder->AddChild(file);
    }
    return root;
}

std::set<std::wstring> PlayerFiles(int folders, int filesPerFolder) {
    std::set<std::wstring> files;
    for (int f = 0; f < folders; ++f) {
        wchar_t folder[64];
        swprintf(folder, 64, L"\\Music\\Album %03d", f);
        for (int i = 0; i < filesPerFolder; ++i) {
            wchar_t name[96];
            swprintf(name, 96, L"%ls\\Track %03d.mp3", folder, i);
            files.insert(name);
        }
    }
    return files;
}

class DeleteDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&controls);
    }

    void TearDown() override {
        if (IsWindow(dialog_)) PostMessageW(dialog_, CQBDeleteDlg::CloseMessage().Id(), 0, 0);
        EXPECT_TRUE(ui_.Join(kWaitMs));
        if (uiThread_ != nullptr) CloseHandle(uiThread_);
    }

    // Opens the dialog; with module null the dialog's English fallbacks show.
    bool Open(int kind, HMODULE module, LANGID language = 0x0409) {
        dlg_ = std::make_unique<CQBDeleteDlg>(runner_, module, kind);
        if (!ui_.Start([this, language] {
                DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &uiThread_,
                                THREAD_QUERY_INFORMATION, FALSE, 0);
                UseLanguage(language);
                result_ = dlg_->DoModal(nullptr);
            })) {
            return false;
        }
        std::wstring title = L"Quillbay";
        dialog_ = WaitForThreadWindow(ui_.ThreadId(), L"#32770", title, kWaitMs);
        tree_ = GetDlgItem(dialog_, IDC_QB_DELETE_TREE);
        return dialog_ != nullptr;
    }

    std::wstring Item(int control) const { return WindowText(GetDlgItem(dialog_, control)); }
    // The state changes before the controls follow it on the dialog's thread: a message sent to
    // the dialog returns only once that thread has finished the change.
    bool WaitForState(int state) const {
        if (!WaitUntil([&] { return dlg_->GetState() == state; }, kWaitMs)) return false;
        SendMessageW(dialog_, WM_NULL, 0, 0);
        return true;
    }
    bool WaitForStatus(const std::wstring& text) const {
        return WaitUntil([&] { return Item(IDC_QB_DELETE_STATUS) == text; }, kWaitMs);
    }

    HTREEITEM Root() const { return Next(nullptr, TVGN_ROOT); }
    HTREEITEM Child(HTREEITEM item, int index) const {
        HTREEITEM child = Next(item, TVGN_CHILD);
        for (int i = 0; i < index && child != nullptr; ++i) child = Next(child, TVGN_NEXT);
        return child;
    }
    HTREEITEM Next(HTREEITEM item, UINT relation) const {
        return reinterpret_cast<HTREEITEM>(
            SendMessageW(tree_, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }
    int Image(HTREEITEM item) const {
        TVITEMW query{};
        query.mask = TVIF_IMAGE | TVIF_HANDLE;
        query.hItem = item;
        SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
        return query.iImage;
    }
    std::wstring Text(HTREEITEM item) const {
        wchar_t text[260] = {};
        TVITEMW query{};
        query.mask = TVIF_TEXT | TVIF_HANDLE;
        query.hItem = item;
        query.pszText = text;
        query.cchTextMax = 260;
        SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
        return text;
    }
    // Clicks the item's label: the press and release go to the tree itself, with the point in the
    // messages, so neither the real cursor nor other programs' windows take part. True once the
    // item's image has changed.
    bool Click(HTREEITEM item) const {
        SendMessageW(tree_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
        RECT rect{};
        // TVM_GETITEMRECT takes the item in the rectangle's first bytes.
        memcpy(&rect, &item, sizeof(item));
        if (!SendMessageW(tree_, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect))) return false;
        const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        const int before = Image(item);
        SendMessageW(tree_, WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageW(tree_, WM_LBUTTONUP, 0, point);
        return WaitUntil([&] { return Image(item) != before; }, kWaitMs);
    }
    // The button's command, as its click gives it, sent to the dialog once the button shows.
    void Press(int control) const {
        HWND button = GetDlgItem(dialog_, control);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(button) != FALSE; }, kWaitMs));
        SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    }
    // The dialog thread's processor time so far, in milliseconds.
    DWORD DialogThreadMs() const {
        FILETIME created, exited, kernel, user;
        if (!GetThreadTimes(uiThread_, &created, &exited, &kernel, &user)) return 0;
        const auto ms = [](const FILETIME& time) {
            return ((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10000;
        };
        return static_cast<DWORD>(ms(kernel) + ms(user));
    }

    FakeRunner runner_;
    std::unique_ptr<CQBDeleteDlg> dlg_;
    CUiTestThread ui_;
    HANDLE uiThread_ = nullptr;
    HWND dialog_ = nullptr;
    HWND tree_ = nullptr;
    INT_PTR result_ = -2;
};

}  // namespace

TEST_F(DeleteDlgTest, WithoutTextsTheEnglishFallbacksShowWhileTheListIsBuilt) {
    ASSERT_TRUE(Open(0, nullptr));
    EXPECT_EQ(Item(IDC_QB_DELETE_MESSAGE), L"Creating a list.... Wait for a moment.");
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog_, IDC_QB_DELETE_MESSAGE)));
    // Nothing is known of the player yet: no half-written free-space line.
    EXPECT_EQ(Item(IDC_QB_DELETE_FREE_SPACE), L"");
    EXPECT_EQ(Item(IDC_QB_DELETE_HEADING), L"Select files and folders you'd like to \r\ndelete.");
    EXPECT_EQ(Item(IDC_QB_DELETE_BUTTON), L"Delete");
    EXPECT_EQ(Item(IDC_QB_DELETE_CLOSE), L"Close");
    EXPECT_EQ(Item(IDC_QB_DELETE_STATUS), L"");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog_, IDC_QB_DELETE_BUTTON)));
    EXPECT_FALSE(IsWindowEnabled(tree_));
    RECT window{};
    GetWindowRect(dialog_, &window);
    EXPECT_EQ(window.right - window.left, 400);
    EXPECT_EQ(window.bottom - window.top, 400);
    EXPECT_TRUE(Photograph(dialog_, L"delete_building_English"));
}

TEST_F(DeleteDlgTest, PlaylistKindWithoutPlaylistsSaysSo) {
    ASSERT_TRUE(Open(CQBDeleteDlg::kPlaylistKind, nullptr));
    dlg_->SetFolderTree(nullptr);
    ASSERT_TRUE(WaitForState(CQBDeleteDlg::kReady));
    EXPECT_TRUE(WaitForStatus(L"0 items selected.")) << Item(IDC_QB_DELETE_STATUS);
    EXPECT_EQ(Item(IDC_QB_DELETE_MESSAGE), L"No playlist.");
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog_, IDC_QB_DELETE_MESSAGE)));
}

TEST_F(DeleteDlgTest, TicksFollowTheThreeStateRulesAndTheStatusLineCounts) {
    ASSERT_TRUE(Open(0, TestLanguageModule()));
    dlg_->SetDeviceName(L"Player");
    dlg_->SetFreeSpace(1536ull * 1024 * 1024);
    dlg_->SetFolderTree(BuildTree(PlayerFiles(3, 2)));
    ASSERT_TRUE(WaitForState(CQBDeleteDlg::kReady));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog_, IDC_QB_DELETE_MESSAGE)));
    EXPECT_EQ(Item(IDC_QB_DELETE_FREE_SPACE), L"Player 1.50 GB Free.");
    HTREEITEM root = Root();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Text(root), L"Music");
    EXPECT_EQ(Image(root), 4);  // open, not selected
    HTREEITEM album0 = Child(root, 0);
    HTREEITEM album1 = Child(root, 1);
    EXPECT_EQ(Text(album0), L"Album 000");
    EXPECT_EQ(Image(album0), 1);
    SendMessageW(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(album0));
    SendMessageW(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(album1));
    HTREEITEM track0 = Child(album0, 0);
    HTREEITEM track1 = Child(album0, 1);
    EXPECT_EQ(Image(track0), 7);

    // One of two children: the folder is partly selected, and so is the root.
    ASSERT_TRUE(Click(track0));
    EXPECT_EQ(Image(track0), 6);
    EXPECT_EQ(Image(album0) % 3, 2);
    EXPECT_EQ(Image(root), 5);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog_, IDC_QB_DELETE_BUTTON)));
    // Both children: the folder is selected.
    ASSERT_TRUE(Click(track1));
    EXPECT_EQ(Image(album0) % 3, 0);
    EXPECT_EQ(Image(root), 5);
    EXPECT_TRUE(WaitForStatus(L"3 Files / Total 5.72 MB Selected.")) << Item(IDC_QB_DELETE_STATUS);
    ASSERT_TRUE(Click(album1));
    EXPECT_TRUE(WaitForStatus(L"6 Files / Total 11.4 MB Selected.")) << Item(IDC_QB_DELETE_STATUS);
    EXPECT_TRUE(Photograph(dialog_, L"delete_ticked_English"));

    // A partly selected root clears the whole tree.
    ASSERT_TRUE(Click(root));
    EXPECT_EQ(Image(root), 4);
    EXPECT_EQ(Image(track0), 7);
    EXPECT_EQ(Image(album1) % 3, 1);
    EXPECT_TRUE(WaitForStatus(L"0 Files / Total 0 KB Selected.")) << Item(IDC_QB_DELETE_STATUS);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog_, IDC_QB_DELETE_BUTTON)));
    // Clicking it again selects everything.
    ASSERT_TRUE(Click(root));
    EXPECT_EQ(Image(root), 3);
    EXPECT_EQ(Image(track1), 6);
}

TEST_F(DeleteDlgTest, DeleteWithNothingSelectedStaysReady) {
    ASSERT_TRUE(Open(0, nullptr));
    dlg_->SetFolderTree(BuildTree(PlayerFiles(1, 2)));
    ASSERT_TRUE(WaitForState(CQBDeleteDlg::kReady));
    Press(IDC_QB_DELETE_BUTTON);
    EXPECT_EQ(dlg_->GetState(), CQBDeleteDlg::kReady);
    EXPECT_EQ(runner_.Starts(), 0);
    EXPECT_THAT(Item(IDC_QB_DELETE_STATUS), ::testing::StartsWith(L"0 Files"));
}

TEST_F(DeleteDlgTest, WhileDeletingOnlyCancelWorksAndProgressIsShown) {
    ASSERT_TRUE(Open(0, nullptr));
    dlg_->SetFolderTree(BuildTree(PlayerFiles(2, 5)));
    ASSERT_TRUE(WaitForState(CQBDeleteDlg::kReady));
    ASSERT_TRUE(Click(Child(Root(), 0)));
    ASSERT_TRUE(Click(Child(Root(), 1)));
    Press(IDC_QB_DELETE_BUTTON);
    ASSERT_EQ(runner_.Starts(), 1);
    EXPECT_EQ(runner_.Requested().size(), 12u);
    EXPECT_EQ(dlg_->GetState(), CQBDeleteDlg::kDeleting);
    EXPECT_EQ(Item(IDC_QB_DELETE_BUTTON), L"Cancel");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog_, IDC_QB_DELETE_CLOSE)));
    EXPECT_FALSE(IsWindowEnabled(tree_));
    for (int i = 0; i < 3; ++i) dlg_->IncrementDone();
    EXPECT_EQ(Item(IDC_QB_DELETE_STATUS), L"Deleting... 3 / 12");
    EXPECT_TRUE(Photograph(dialog_, L"delete_deleting_English"));

    // Escape, the window's Close and WM_CLOSE change nothing.
    SendMessageW(dialog_, WM_COMMAND, IDCANCEL, 0);
    SendMessageW(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
    SendMessageW(dialog_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(dialog_));
    EXPECT_EQ(dlg_->GetState(), CQBDeleteDlg::kDeleting);
    for (int i = 0; i < 20; ++i) dlg_->IncrementDone();
    EXPECT_EQ(Item(IDC_QB_DELETE_STATUS), L"Deleting... 12 / 12");

    Press(IDC_QB_DELETE_BUTTON);
    EXPECT_EQ(runner_.cancels.load(), 1);
    // The coordinator answers the end of the run with the rebuilt tree.
    dlg_->SetFolderTree(BuildTree(PlayerFiles(1, 1)));
    ASSERT_TRUE(WaitForState(CQBDeleteDlg::kReady));
    EXPECT_EQ(Item(IDC_QB_DELETE_BUTTON), L"Delete");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog_, IDC_QB_DELETE_CLOSE)));
}

TEST_F(DeleteDlgTest, CloseMessageEndsTheDialogEvenWhileDeleting) {
    ASSERT_TRUE(Open(0, nullptr));
    dlg_->SetFolderTree(BuildTree(PlayerFiles(1, 1)));
    ASSERT_TRUE(WaitForState(CQBDeleteDlg::kReady));
    ASSERT_TRUE(Click(Root()));
    Press(IDC_QB_DELETE_BUTTON);
    ASSERT_EQ(dlg_->GetState(), CQBDeleteDlg::kDeleting);
    SendMessageW(dialog_, CQBDeleteDlg::CloseMessage().Id(), 0, 0);
    ASSERT_TRUE(ui_.Join(kWaitMs));
    EXPECT_EQ(result_, IDCANCEL);
}

TEST_F(DeleteDlgTest, TwentyThousandFilesOpenQuicklyAndOnlyTheTickedOnesAreDeleted) {
    std::set<std::wstring> player = PlayerFiles(100, 200);
    ASSERT_EQ(player.size(), 20000u);
    const DWORD start = GetTickCount();
    dlg_ = nullptr;
    ASSERT_TRUE(Open(0, TestLanguageModule()));
    dlg_->SetFolderTree(BuildTree(player));
    ASSERT_TRUE(WaitForState(CQBDeleteDlg::kReady));
    // The dialog's own work is measured: on a loaded machine the wall clock also counts the time
    // other programs had the processor.
    const DWORD busy = DialogThreadMs();
    EXPECT_EQ(SendMessageW(tree_, TVM_GETCOUNT, 0, 0), 20101);
    EXPECT_LT(busy, 2000u);
    RecordProperty("open_cpu_ms", static_cast<int>(busy));
    RecordProperty("open_ms", static_cast<int>(GetTickCount() - start));

    HTREEITEM root = Root();
    HTREEITEM album7 = Child(root, 7);
    ASSERT_TRUE(Click(album7));
    HTREEITEM album50 = Child(root, 50);
    SendMessageW(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(album50));
    ASSERT_TRUE(Click(Child(album50, 3)));
    EXPECT_TRUE(Photograph(dialog_, L"delete_large_tree_English"));
    Press(IDC_QB_DELETE_BUTTON);
    ASSERT_EQ(runner_.Starts(), 1);

    std::set<std::wstring> expected{L"\\Music\\Album 007", L"\\Music\\Album 050\\Track 003.mp3"};
    for (int i = 0; i < 200; ++i) {
        wchar_t name[64];
        swprintf(name, 64, L"\\Music\\Album 007\\Track %03d.mp3", i);
        expected.insert(name);
    }
    const std::vector<std::wstring> requested = runner_.Requested();
    EXPECT_EQ(requested.size(), expected.size());
    EXPECT_EQ(std::set<std::wstring>(requested.begin(), requested.end()), expected);

    // The coordinator deletes them and hands back the rebuilt tree.
    for (const std::wstring& path : requested) {
        player.erase(path);
        dlg_->IncrementDone();
    }
    EXPECT_EQ(player.size(), 19799u);
    dlg_->SetFolderTree(BuildTree(player));
    ASSERT_TRUE(WaitForState(CQBDeleteDlg::kReady));
    EXPECT_EQ(SendMessageW(tree_, TVM_GETCOUNT, 0, 0), 19799 + 99 + 1);
}

class DeleteDlgPicturesTest : public DeleteDlgTest, public ::testing::WithParamInterface<LANGID> {};

TEST_P(DeleteDlgPicturesTest, ATickedTreeIsPhotographed) {
    ASSERT_TRUE(Open(0, TestLanguageModule(), GetParam()));
    dlg_->SetDeviceName(L"NW-A100");
    dlg_->SetFreeSpace(3ull * 1024 * 1024 * 1024);
    dlg_->SetFolderTree(BuildTree(PlayerFiles(4, 3)));
    ASSERT_TRUE(WaitForState(CQBDeleteDlg::kReady));
    HTREEITEM album1 = Child(Root(), 1);
    SendMessageW(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(album1));
    ASSERT_TRUE(Click(Child(album1, 0)));
    ASSERT_TRUE(Click(Child(Root(), 2)));
    EXPECT_TRUE(Photograph(dialog_, std::wstring(L"delete_") + LanguageName(GetParam())));
}

INSTANTIATE_TEST_SUITE_P(Languages, DeleteDlgPicturesTest, ::testing::Values(LANGID(0x0409), LANGID(0x0411)));
