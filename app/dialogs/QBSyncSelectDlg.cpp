#include "app/dialogs/QBSyncSelectDlg.h"

#include <commctrl.h>
#include <shlobj.h>

#include "app/dialogs/DialogResources.h"
#include "app/dialogs/SyncLists.h"
#include "library/util/Settings.h"
#include "library/util/TextConversion.h"
#include "platform/ui/UiLanguageModule.h"

namespace {

const int kColumnWidth = 430;
const int kMinWidth = 490;
const int kMinHeight = 360;

std::vector<int> PresetsOfKind(int kind) {
    switch (kind) {
        case 2: return {kPresetMyVideos, kPresetOwnMovie};
        case 3: return {kPresetITunesPodcast, kPresetRssPodcast, kPresetOwnPodcast};
        default: return {kPresetITunesMusic, kPresetMyMusic, kPresetMediaApps, kPresetOwnMusic};
    }
}

UINT HeadingOfKind(int kind) {
    switch (kind) {
        case 2: return 231;
        case 3: return 232;
        default: return 218;
    }
}

std::wstring WithoutOneTrailingBackslash(const std::wstring& path) {
    if (!path.empty() && path.back() == L'\\') return path.substr(0, path.size() - 1);
    return path;
}

}  // namespace

CQBSyncSelectDlg::CQBSyncSelectDlg(HMODULE languageModule, const std::wstring& startFolder, int kind)
    : CUiDialog(IDD_QB_SYNC_SELECT),
      languageModule_(languageModule),
      browseStart_(startFolder),
      kind_(kind),
      folders_(CSyncPresetFolders::FromSystem()) {}

const CUiMessageMap& CQBSyncSelectDlg::GetMessageMap() const {
    static const CUiMessageMap map(&CUiDialog::GetMessageMap(), {
        UiOnCommand(IDC_QB_SYNC_ADD, &CQBSyncSelectDlg::OnAdd),
        UiOnCommand(IDC_QB_SYNC_REMOVE, &CQBSyncSelectDlg::OnRemove),
        PresetBoxCommand(),
        UiOnMessage(WM_SIZE, &CQBSyncSelectDlg::OnSize),
        UiOnMessage(WM_GETMINMAXINFO, &CQBSyncSelectDlg::OnGetMinMaxInfo),
    });
    return map;
}

CUiMessageEntry CQBSyncSelectDlg::PresetBoxCommand() {
    CUiMessageEntry entry = UiOnMessage(WM_COMMAND, &CQBSyncSelectDlg::OnPresetCommand);
    entry.matchesControlId = true;
    entry.controlId = IDC_QB_SYNC_PRESET;
    return entry;
}

bool CQBSyncSelectDlg::IsSameFolder(const std::wstring& left, const std::wstring& right) {
    return CompareNoCase(WithoutOneTrailingBackslash(left), WithoutOneTrailingBackslash(right)) == 0;
}

BOOL CQBSyncSelectDlg::OnInitDialog() {
    HWND dialog = Hwnd();
    SendMessageW(dialog, WM_SETICON, ICON_BIG, 0);
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, 0);
    font_.ApplyToChildren(dialog);
    CUiLanguageModule::ApplyToWindow(languageModule_, dialog, 139);
    CUiLanguageModule::ApplyToItem(languageModule_, dialog, IDC_QB_SYNC_HEADING, HeadingOfKind(kind_));
    CUiLanguageModule::ApplyToItem(languageModule_, dialog, IDC_QB_SYNC_FOLDERS_LABEL, 220);
    CUiLanguageModule::ApplyToItem(languageModule_, dialog, IDC_QB_SYNC_ADD, 221);
    CUiLanguageModule::ApplyToItem(languageModule_, dialog, IDC_QB_SYNC_REMOVE, 222);
    CUiLanguageModule::ApplyToItem(languageModule_, dialog, IDOK, 132);
    CUiLanguageModule::ApplyToItem(languageModule_, dialog, IDCANCEL, 133);

    HWND list = GetDlgItem(dialog, IDC_QB_SYNC_FOLDERS);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    std::wstring heading = CUiLanguageModule::TextOr(languageModule_, 220, L"");
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(heading.c_str());
    column.cx = kColumnWidth;
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));

    const int effective = GetEffectiveSyncPreset(kind_, folders_);
    ownListReadable_ = ReadSyncPathList(kind_, &ownList_);
    // An own list that could not be read cannot be edited: saving it would wipe it.
    EnableWindow(GetDlgItem(dialog, IDC_QB_SYNC_ADD), ownListReadable_);
    EnableWindow(GetDlgItem(dialog, IDC_QB_SYNC_REMOVE), ownListReadable_);
    FillPresetBox(effective);
    ShowSelectedPreset();
    Layout();
    if (windowSlot_ != nullptr) *windowSlot_ = dialog;
    return TRUE;
}

void CQBSyncSelectDlg::FillPresetBox(int effectivePreset) {
    HWND box = GetDlgItem(Hwnd(), IDC_QB_SYNC_PRESET);
    int selected = -1;
    int ownEntry = -1;
    for (int preset : PresetsOfKind(kind_)) {
        std::vector<std::wstring> folders;
        BuildPresetFolderList(preset, folders_, &folders);
        if (folders.empty() && !IsOwnListPreset(preset)) continue;
        const std::wstring name =
            CUiLanguageModule::TextOr(languageModule_, static_cast<UINT>(GetSyncPresetName(preset)), L"");
        const int entry = static_cast<int>(SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str())));
        if (entry < 0) continue;
        SendMessageW(box, CB_SETITEMDATA, entry, preset);
        if (preset == effectivePreset) selected = entry;
        if (IsOwnListPreset(preset)) ownEntry = entry;
    }
    // A stored preset whose folders are gone falls back to the own list.
    SendMessageW(box, CB_SETCURSEL, selected >= 0 ? selected : ownEntry, 0);
}

int CQBSyncSelectDlg::SelectedPreset() const {
    HWND box = GetDlgItem(Hwnd(), IDC_QB_SYNC_PRESET);
    const LRESULT entry = SendMessageW(box, CB_GETCURSEL, 0, 0);
    if (entry == CB_ERR) return GetOwnListPreset(kind_);
    return static_cast<int>(SendMessageW(box, CB_GETITEMDATA, entry, 0));
}

void CQBSyncSelectDlg::SelectPreset(int preset) {
    HWND box = GetDlgItem(Hwnd(), IDC_QB_SYNC_PRESET);
    const int count = static_cast<int>(SendMessageW(box, CB_GETCOUNT, 0, 0));
    for (int entry = 0; entry < count; ++entry) {
        if (SendMessageW(box, CB_GETITEMDATA, entry, 0) == preset) SendMessageW(box, CB_SETCURSEL, entry, 0);
    }
}

void CQBSyncSelectDlg::ShowFolders(const std::vector<std::wstring>& folders) {
    HWND list = GetDlgItem(Hwnd(), IDC_QB_SYNC_FOLDERS);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    int row = 0;
    for (const std::wstring& folder : folders) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row++;
        item.pszText = const_cast<wchar_t*>(folder.c_str());
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

void CQBSyncSelectDlg::ShowSelectedPreset() {
    const int preset = SelectedPreset();
    if (IsOwnListPreset(preset)) {
        ShowFolders(ownList_);
        return;
    }
    std::vector<std::wstring> folders;
    BuildPresetFolderList(preset, folders_, &folders);
    ShowFolders(folders);
}

void CQBSyncSelectDlg::ShowOwnList() {
    SelectPreset(GetOwnListPreset(kind_));
    ShowFolders(ownList_);
}

LRESULT CQBSyncSelectDlg::OnPresetCommand(WPARAM wParam, LPARAM) {
    if (HIWORD(wParam) == CBN_SELCHANGE) ShowSelectedPreset();
    return 0;
}

void CQBSyncSelectDlg::OnAdd() {
    const std::wstring title = CUiLanguageModule::TextOr(languageModule_, 223, L"");
    std::wstring folder;
    for (;;) {
        const BrowseResult result = BrowseForFolder(title, browseStart_, &folder);
        if (result == BrowseResult::kCancelled) return;
        if (result == BrowseResult::kChosen) break;
        const std::wstring message = CUiLanguageModule::TextOr(languageModule_, 226, L"");
        wchar_t caption[256] = {};
        GetWindowTextW(Hwnd(), caption, 256);
        MessageBoxW(Hwnd(), message.c_str(), caption, MB_OK | MB_ICONEXCLAMATION);
    }
    for (const std::wstring& listed : ownList_) {
        if (IsSameFolder(listed, folder)) return;
    }
    ownList_.push_back(folder);
    HWND list = GetDlgItem(Hwnd(), IDC_QB_SYNC_FOLDERS);
    const int width =
        static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(folder.c_str()))) + 20;
    if (width > SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0)) SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, width);
    ShowOwnList();
    browseStart_ = folder;
}

void CQBSyncSelectDlg::OnRemove() {
    HWND list = GetDlgItem(Hwnd(), IDC_QB_SYNC_FOLDERS);
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = count - 1; row >= 0; --row) {
        if ((SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) == 0) continue;
        wchar_t text[MAX_PATH * 4] = {};
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = MAX_PATH * 4;
        SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        SendMessageW(list, LVM_DELETEITEM, row, 0);
        for (auto listed = ownList_.begin(); listed != ownList_.end(); ++listed) {
            if (*listed == text) {
                ownList_.erase(listed);
                break;
            }
        }
    }
    ShowOwnList();
}

void CQBSyncSelectDlg::OnOK() {
    const int preset = SelectedPreset();
    if (IsOwnListPreset(preset) && ownListReadable_) ReplaceSyncPathList(kind_, ownList_);
    WriteSyncPreset(kind_, static_cast<DWORD>(preset));
    EndDialog(IDOK);
}

CQBSyncSelectDlg::BrowseResult CQBSyncSelectDlg::BrowseForFolder(const std::wstring& title,
                                                                 const std::wstring& startFolder,
                                                                 std::wstring* folder) {
    const HRESULT ole = OleInitialize(nullptr);
    BROWSEINFOW browse{};
    browse.hwndOwner = Hwnd();
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_NEWDIALOGSTYLE;
    browse.lpfn = BrowseCallback;
    browse.lParam = reinterpret_cast<LPARAM>(startFolder.c_str());
    BrowseResult result = BrowseResult::kCancelled;
    if (PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse)) {
        wchar_t path[MAX_PATH] = {};
        if (SHGetPathFromIDListW(chosen, path) && path[0] != L'\0') {
            *folder = path;
            result = BrowseResult::kChosen;
        } else {
            result = BrowseResult::kNoFileSystemPath;
        }
        CoTaskMemFree(chosen);
    }
    if (SUCCEEDED(ole)) OleUninitialize();
    return result;
}

int CALLBACK CQBSyncSelectDlg::BrowseCallback(HWND window, UINT message, LPARAM, LPARAM data) {
    const auto* start = reinterpret_cast<const wchar_t*>(data);
    if (message == BFFM_INITIALIZED && start != nullptr && start[0] != L'\0') {
        SendMessageW(window, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start));
    }
    return 0;
}

LRESULT CQBSyncSelectDlg::OnSize(WPARAM, LPARAM) {
    Layout();
    return 0;
}

LRESULT CQBSyncSelectDlg::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
    reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {kMinWidth, kMinHeight};
    return 0;
}

void CQBSyncSelectDlg::Layout() {
    RECT client{};
    if (!GetClientRect(Hwnd(), &client)) return;
    const int w = client.right;
    const int h = client.bottom;
    auto place = [this](int control, int x, int y, int width, int height) {
        MoveWindow(GetDlgItem(Hwnd(), control), x, y, width, height, TRUE);
    };
    place(IDC_QB_SYNC_HEADING, 12, 10, w - 24, 36);
    place(IDC_QB_SYNC_PRESET, 12, 50, 320, 200);
    place(IDC_QB_SYNC_FOLDERS_LABEL, 12, 84, w - 24, 18);
    place(IDC_QB_SYNC_FOLDERS, 12, 104, w - 24, h - 154);
    place(IDC_QB_SYNC_ADD, 12, h - 38, 96, 26);
    place(IDC_QB_SYNC_REMOVE, 114, h - 38, 96, 26);
    place(IDOK, w - 204, h - 38, 92, 26);
    place(IDCANCEL, w - 104, h - 38, 92, 26);
}
