#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/dialogs/DialogResources.h"
#include "app/dialogs/QBSyncSelectDlg.h"
#include "app/dialogs/SyncLists.h"
#include "library/util/FileSystem.h"
#include "library/util/Settings.h"
#include "platform/ui/UiLanguageModule.h"
#include "tests/app/dialogs/DialogTestSupport.h"
#include "tests/support/UiTestThread.h"
#include "tests/support/WindowDriver.h"

using ::testing::ElementsAre;

namespace {

const DWORD kWaitMs = 30000;

// Stands in for the user at the folder browser: answers from a script.
class ScriptedSyncSelectDlg : public CQBSyncSelectDlg {
public:
    using CQBSyncSelectDlg::CQBSyncSelectDlg;
    using CQBSyncSelectDlg::BrowseResult;

    void Script(BrowseResult result, const std::wstring& folder = L"") {
        std::lock_guard<std::mutex> lock(mutex_);
        answers_.push_back({result, folder});
    }
    std::vector<std::wstring> StartFolders() {
        std::lock_guard<std::mutex> lock(mutex_);
        return starts_;
    }

protected:
    BrowseResult BrowseForFolder(const std::wstring&, const std::wstring& startFolder, std::wstring* folder) override {
        std::lock_guard<std::mutex> lock(mutex_);
        starts_.push_back(startFolder);
        if (answers_.empty()) return BrowseResult::kCancelled;
        const auto answer = answers_.front();
        answers_.pop_front();
        *folder = answer.second;
        return answer.first;
    }

private:
    std::mutex mutex_;
    std::deque<std::pair<BrowseResult, std::wstring>> answers_;
    std::vector<std::wstring> starts_;
};

class SyncSelectDlgTest : public ::testing::Test {
protected:
    using Browse = ScriptedSyncSelectDlg::BrowseResult;

    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        ASSERT_TRUE(player_.IsActive());
        ASSERT_FALSE(root_.Path().empty());
        sources_.iTunesMusic = root_.Join(L"iTunes Music");
        sources_.iTunesMediaMusic = root_.Join(L"iTunes Media\\Music");
        sources_.jukebox = root_.Join(L"Jukebox");
        sources_.myMusic = root_.Join(L"My Music");
        sources_.myVideos = root_.Join(L"My Videos");
        sources_.iTunesPodcasts[1] = root_.Join(L"iTunes Music Podcasts");
        sources_.myPodcasts = root_.Join(L"My Podcasts");
    }

    void TearDown() override {
        if (IsWindow(dialog_)) PostMessageW(dialog_, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(ui_.Join(kWaitMs));
    }

    void Make(const std::wstring& folder) const { ASSERT_TRUE(CreateFolderTree(folder)); }

    bool Open(int kind, LANGID language = 0x0409) {
        dlg_ = std::make_unique<ScriptedSyncSelectDlg>(TestLanguageModule(), L"C:\\Start", kind);
        dlg_->SetPresetFolders(sources_);
        if (!ui_.Start([this, language] {
                UseLanguage(language);
                result_ = dlg_->DoModal(nullptr);
            })) {
            return false;
        }
        std::wstring title;
        UseLanguage(language);
        CUiLanguageModule::LoadText(TestLanguageModule(), 139, title);
        UseLanguage(0x0409);
        dialog_ = WaitForThreadWindow(ui_.ThreadId(), L"#32770", title, kWaitMs);
        box_ = GetDlgItem(dialog_, IDC_QB_SYNC_PRESET);
        list_ = GetDlgItem(dialog_, IDC_QB_SYNC_FOLDERS);
        return dialog_ != nullptr;
    }

    std::vector<int> BoxPresets() const {
        std::vector<int> presets;
        const int count = static_cast<int>(SendMessageW(box_, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) presets.push_back(static_cast<int>(SendMessageW(box_, CB_GETITEMDATA, i, 0)));
        return presets;
    }
    std::vector<std::wstring> BoxTexts() const {
        std::vector<std::wstring> texts;
        const int count = static_cast<int>(SendMessageW(box_, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[256] = {};
            SendMessageW(box_, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            texts.push_back(text);
        }
        return texts;
    }
    int SelectedPreset() const {
        return static_cast<int>(SendMessageW(box_, CB_GETITEMDATA, SendMessageW(box_, CB_GETCURSEL, 0, 0), 0));
    }
    void ChoosePreset(int preset) const {
        const std::vector<int> presets = BoxPresets();
        for (size_t i = 0; i < presets.size(); ++i) {
            if (presets[i] != preset) continue;
            SendMessageW(box_, CB_SETCURSEL, i, 0);
            SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDC_QB_SYNC_PRESET, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(box_));
        }
    }
    std::vector<std::wstring> Rows() const {
        std::vector<std::wstring> rows;
        const int count = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[MAX_PATH] = {};
            LVITEMW item{};
            item.pszText = text;
            item.cchTextMax = MAX_PATH;
            SendMessageW(list_, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
            rows.push_back(text);
        }
        return rows;
    }
    static std::wstring Text(UINT id) {
        std::wstring text;
        CUiLanguageModule::LoadText(TestLanguageModule(), id, text);
        return text;
    }
    static std::string ListBytes(int kind) {
        std::string bytes;
        ReadWholeFile(GetSyncPathListFile(kind), &bytes);
        return bytes;
    }
    INT_PTR Press(int button) {
        PostMessageW(dialog_, WM_COMMAND, button, 0);
        EXPECT_TRUE(ui_.Join(kWaitMs));
        return result_;
    }

    CScratchPlayer player_;
    CScratchFolder root_;
    CSyncPresetFolders sources_;
    std::unique_ptr<ScriptedSyncSelectDlg> dlg_;
    CUiTestThread ui_;
    HWND dialog_ = nullptr;
    HWND box_ = nullptr;
    HWND list_ = nullptr;
    INT_PTR result_ = -2;
};

}  // namespace

TEST_F(SyncSelectDlgTest, MusicPresetsAreListedInTheirOrderAndTheAutomaticOneIsResolved) {
    Make(sources_.iTunesMusic);
    Make(sources_.myMusic);
    Make(sources_.jukebox);
    ASSERT_TRUE(Open(0));
    EXPECT_THAT(BoxPresets(), ElementsAre(0, 2, 1, 3));
    EXPECT_THAT(BoxTexts(), ElementsAre(Text(210), Text(233), Text(212), Text(215)));
    EXPECT_EQ(SelectedPreset(), 0);
    EXPECT_EQ(ReadSyncPreset(0), 0u);
    EXPECT_THAT(Rows(), ElementsAre(sources_.iTunesMusic));
    EXPECT_EQ(SendMessageW(list_, LVM_GETCOLUMNWIDTH, 0, 0), 430);
    EXPECT_EQ(WindowText(GetDlgItem(dialog_, IDC_QB_SYNC_HEADING)), Text(218));
    ChoosePreset(1);
    EXPECT_THAT(Rows(), ElementsAre(sources_.jukebox));
    EXPECT_TRUE(Photograph(dialog_, L"sync_music_English"));
}

TEST_F(SyncSelectDlgTest, PodcastBoxAlwaysListsTheOwnListAndPresetsOnlyWithFolders) {
    ASSERT_TRUE(Open(3));
    EXPECT_THAT(BoxPresets(), ElementsAre(10));
    EXPECT_EQ(SelectedPreset(), 10);
    EXPECT_EQ(WindowText(GetDlgItem(dialog_, IDC_QB_SYNC_HEADING)), Text(232));
    EXPECT_EQ(Press(IDCANCEL), IDCANCEL);
}

TEST_F(SyncSelectDlgTest, PodcastPresetsAppearWithTheirFolders) {
    Make(sources_.iTunesPodcasts[1]);
    Make(sources_.myPodcasts);
    ASSERT_TRUE(Open(3));
    EXPECT_THAT(BoxPresets(), ElementsAre(8, 9, 10));
    EXPECT_EQ(SelectedPreset(), 8);
}

TEST_F(SyncSelectDlgTest, AddingBuildsTheOwnListWithoutDuplicatesAndOkWritesIt) {
    Make(sources_.myMusic);
    ASSERT_TRUE(Open(0));
    EXPECT_EQ(SelectedPreset(), 2);
    dlg_->Script(Browse::kChosen, L"D:\\Songs");
    SendClick(GetDlgItem(dialog_, IDC_QB_SYNC_ADD));
    EXPECT_EQ(SelectedPreset(), 3);
    EXPECT_THAT(Rows(), ElementsAre(L"D:\\Songs"));
    // Other letter case, one trailing backslash more: the same folder.
    dlg_->Script(Browse::kChosen, L"d:\\SONGS\\");
    SendClick(GetDlgItem(dialog_, IDC_QB_SYNC_ADD));
    dlg_->Script(Browse::kChosen, L"E:\\Audio Books\\");
    SendClick(GetDlgItem(dialog_, IDC_QB_SYNC_ADD));
    dlg_->Script(Browse::kChosen, L"e:\\audio books");
    SendClick(GetDlgItem(dialog_, IDC_QB_SYNC_ADD));
    EXPECT_THAT(Rows(), ElementsAre(L"D:\\Songs", L"E:\\Audio Books\\"));
    // Each browse starts where the last chosen folder was.
    EXPECT_THAT(dlg_->StartFolders(),
                ElementsAre(L"C:\\Start", L"D:\\Songs", L"D:\\Songs", L"E:\\Audio Books\\"));
    EXPECT_TRUE(Photograph(dialog_, L"sync_own_list_English"));

    EXPECT_EQ(Press(IDOK), IDOK);
    EXPECT_EQ(ListBytes(0), "D:\\Songs\r\nE:\\Audio Books\\\r\n");
    EXPECT_EQ(ReadSyncPreset(0), 3u);
}

TEST_F(SyncSelectDlgTest, AnItemWithoutAPathIsRefusedAndTheBrowserOpensAgain) {
    ASSERT_TRUE(Open(2));
    dlg_->Script(Browse::kNoFileSystemPath);
    dlg_->Script(Browse::kChosen, L"F:\\Films");
    ASSERT_TRUE(PostClick(GetDlgItem(dialog_, IDC_QB_SYNC_ADD)));
    HWND message = WaitForOwnedDialog(ui_.ThreadId(), kWaitMs);
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(Photograph(message, L"sync_not_a_folder_English"));
    SendClick(GetDlgItem(message, IDOK));
    ASSERT_TRUE(WaitUntil([this] { return Rows().size() == 1; }, kWaitMs));
    EXPECT_THAT(Rows(), ElementsAre(L"F:\\Films"));
    EXPECT_EQ(SelectedPreset(), 6);
}

TEST_F(SyncSelectDlgTest, RemoveTakesTheSelectedFoldersOutOfTheOwnList) {
    ASSERT_TRUE(ReplaceSyncPathList(0, {L"C:\\A", L"C:\\B", L"C:\\C"}));
    ASSERT_TRUE(WriteSyncPreset(0, 3));
    ASSERT_TRUE(Open(0));
    EXPECT_THAT(Rows(), ElementsAre(L"C:\\A", L"C:\\B", L"C:\\C"));
    LVITEMW select{};
    select.stateMask = LVIS_SELECTED;
    select.state = LVIS_SELECTED;
    SendMessageW(list_, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&select));
    SendMessageW(list_, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&select));
    SendClick(GetDlgItem(dialog_, IDC_QB_SYNC_REMOVE));
    EXPECT_THAT(Rows(), ElementsAre(L"C:\\B"));
    EXPECT_EQ(Press(IDOK), IDOK);
    EXPECT_EQ(ListBytes(0), "C:\\B\r\n");
}

TEST_F(SyncSelectDlgTest, ChoosingAPresetKeepsTheListFileAndCancelWritesNothing) {
    Make(sources_.myVideos);
    ASSERT_TRUE(ReplaceSyncPathList(2, {L"C:\\Kept"}));
    ASSERT_TRUE(WriteSyncPreset(2, 6));
    ASSERT_TRUE(Open(2));
    EXPECT_EQ(SelectedPreset(), 6);
    EXPECT_THAT(Rows(), ElementsAre(L"C:\\Kept"));
    ChoosePreset(5);
    EXPECT_THAT(Rows(), ElementsAre(sources_.myVideos));
    EXPECT_EQ(Press(IDOK), IDOK);
    EXPECT_EQ(ReadSyncPreset(2), 5u);
    EXPECT_EQ(ListBytes(2), "C:\\Kept\r\n");
}

TEST_F(SyncSelectDlgTest, CancelWritesNothing) {
    ASSERT_TRUE(WriteSyncPreset(0, 3));
    ASSERT_TRUE(Open(0));
    dlg_->Script(Browse::kChosen, L"D:\\New");
    SendClick(GetDlgItem(dialog_, IDC_QB_SYNC_ADD));
    EXPECT_EQ(Press(IDCANCEL), IDCANCEL);
    EXPECT_EQ(GetFileAttributesW(GetSyncPathListFile(0).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SyncSelectDlgTest, AnOwnListThatCannotBeReadIsNeverWrittenBack) {
    ASSERT_TRUE(ReplaceSyncPathList(0, {L"C:\\Precious"}));
    ASSERT_TRUE(WriteSyncPreset(0, 3));
    HANDLE lock = CreateFileW(GetSyncPathListFile(0).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(Open(0));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog_, IDC_QB_SYNC_ADD)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog_, IDC_QB_SYNC_REMOVE)));
    EXPECT_EQ(Press(IDOK), IDOK);
    CloseHandle(lock);
    EXPECT_EQ(ListBytes(0), "C:\\Precious\r\n");
}

TEST_F(SyncSelectDlgTest, TheDialogKeepsItsMinimumSize) {
    ASSERT_TRUE(Open(0));
    SetWindowPos(dialog_, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER);
    RECT window{};
    GetWindowRect(dialog_, &window);
    EXPECT_GE(window.right - window.left, 490);
    EXPECT_GE(window.bottom - window.top, 360);
    SetWindowPos(dialog_, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    RECT client{};
    RECT list{};
    GetClientRect(dialog_, &client);
    GetWindowRect(list_, &list);
    EXPECT_EQ(list.right - list.left, client.right - 24);
}

TEST(SyncSelectFolderCompareTest, CaseAndOneTrailingBackslashAreIgnored) {
    EXPECT_TRUE(CQBSyncSelectDlg::IsSameFolder(L"C:\\Music", L"c:\\MUSIC"));
    EXPECT_TRUE(CQBSyncSelectDlg::IsSameFolder(L"C:\\Music\\", L"C:\\Music"));
    EXPECT_TRUE(CQBSyncSelectDlg::IsSameFolder(L"C:\\Music\\", L"c:\\music\\"));
    EXPECT_FALSE(CQBSyncSelectDlg::IsSameFolder(L"C:\\Music\\\\", L"C:\\Music"));
    EXPECT_FALSE(CQBSyncSelectDlg::IsSameFolder(L"C:\\Music", L"C:\\Musik"));
}

class SyncSelectPicturesTest : public SyncSelectDlgTest, public ::testing::WithParamInterface<LANGID> {};

TEST_P(SyncSelectPicturesTest, TheDialogIsPhotographed) {
    Make(sources_.myVideos);
    ASSERT_TRUE(ReplaceSyncPathList(2, {L"D:\\Films", L"E:\\Home videos"}));
    ASSERT_TRUE(Open(2, GetParam()));
    EXPECT_TRUE(Photograph(dialog_, std::wstring(L"sync_movie_") + LanguageName(GetParam())));
    ChoosePreset(6);
    EXPECT_TRUE(Photograph(dialog_, std::wstring(L"sync_movie_own_") + LanguageName(GetParam())));
}

INSTANTIATE_TEST_SUITE_P(Languages, SyncSelectPicturesTest, ::testing::Values(LANGID(0x0409), LANGID(0x0411)));
