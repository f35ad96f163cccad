#include "app/dialogs/QBDeleteDlg.h"

#include <cstdarg>
#include <cwchar>

#include "app/dialogs/DeleteSelection.h"
#include "app/dialogs/DialogResources.h"
#include "library/util/ByteSize.h"
#include "platform/ui/UiLanguageModule.h"

namespace {

struct TextSource {
    UINT id;
    const wchar_t* fallback;
};

// In the order of CQBDeleteDlg::Text.
const TextSource kTexts[] = {
    {154, L"Quillbay"},
    {155, L"Delete"},
    {161, L"Close"},
    {156, L"Cancel"},
    {157, L"Select files and folders you'd like to \r\ndelete."},
    {158, L"%s %s Free."},
    {190, L"%d Files / Total %s Selected."},
    {159, L"%d items selected."},
    {236, L"Deleting... %d / %d"},
    {235, L"Creating a list.... Wait for a moment."},
    {160, L"No playlist."},
};

const int kDialogSize = 400;
const COLORREF kMaskColour = RGB(255, 0, 255);

std::wstring Format(const std::wstring& format, ...) {
    wchar_t buffer[1024] = {};
    va_list arguments;
    va_start(arguments, format);
    const int written = _vsnwprintf(buffer, 1023, format.c_str(), arguments);
    va_end(arguments);
    return written < 0 ? std::wstring(buffer, 1023) : std::wstring(buffer, written);
}

HIMAGELIST LoadTreeImages(UINT firstBitmap) {
    HIMAGELIST list = ImageList_Create(32, 16, ILC_COLOR24 | ILC_MASK, 8, 0);
    if (list == nullptr) return nullptr;
    for (UINT id = firstBitmap; id < firstBitmap + 8; ++id) {
        HBITMAP bitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
        if (bitmap == nullptr) continue;
        ImageList_AddMasked(list, bitmap, kMaskColour);
        DeleteObject(bitmap);
    }
    return list;
}

}  // namespace

const CUiRegisteredMessage& CQBDeleteDlg::CloseMessage() {
    static const CUiRegisteredMessage message(L"QuillbayDeleteDlgCloseMsgString");
    return message;
}

const CUiRegisteredMessage& CQBDeleteDlg::SetTreeMessage() {
    static const CUiRegisteredMessage message(L"QuillbayDeleteDlgSetTreeMsgString");
    return message;
}

CQBDeleteDlg::CQBDeleteDlg(IDeleteRunner& runner, HMODULE languageModule, int kind)
    : CUiDialog(IDD_QB_DELETE),
      runner_(runner),
      languageModule_(languageModule),
      kind_(kind),
      itemMode_(kind == kPlaylistKind),
      ready_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      whiteBrush_(CreateSolidBrush(RGB(255, 255, 255))) {}

CQBDeleteDlg::~CQBDeleteDlg() {
    if (images_ != nullptr) ImageList_Destroy(images_);
    if (greyImages_ != nullptr) ImageList_Destroy(greyImages_);
    if (whiteBrush_ != nullptr) DeleteObject(whiteBrush_);
}

const CUiMessageMap& CQBDeleteDlg::GetMessageMap() const {
    static const CUiMessageMap map(&CUiDialog::GetMessageMap(), {
        UiOnCommand(IDC_QB_DELETE_BUTTON, &CQBDeleteDlg::OnDeleteButton),
        UiOnCommand(IDC_QB_DELETE_CLOSE, &CQBDeleteDlg::OnCloseButton),
        UiOnRegisteredMessage(SetTreeMessage(), &CQBDeleteDlg::OnSetTree),
        UiOnRegisteredMessage(CloseMessage(), &CQBDeleteDlg::OnCloseRequest),
        UiOnMessage(WM_SIZE, &CQBDeleteDlg::OnSize),
        UiOnMessage(WM_GETMINMAXINFO, &CQBDeleteDlg::OnGetMinMaxInfo),
        UiOnMessage(WM_CTLCOLORSTATIC, &CQBDeleteDlg::OnCtlColorEdit),
        UiOnNotify(IDC_QB_DELETE_TREE, NM_CLICK, &CQBDeleteDlg::OnTreeClick),
        UiOnNotify(IDC_QB_DELETE_TREE, NM_DBLCLK, &CQBDeleteDlg::OnTreeDoubleClick),
        UiOnNotify(IDC_QB_DELETE_TREE, TVN_ITEMEXPANDEDW, &CQBDeleteDlg::OnTreeExpanded),
    });
    return map;
}

void CQBDeleteDlg::LoadTexts() {
    bool allRead = true;
    for (int i = 0; i < kTextCount; ++i) {
        allRead = CUiLanguageModule::LoadText(languageModule_, kTexts[i].id, texts_[i], 511) && allRead;
    }
    if (allRead) return;
    for (int i = 0; i < kTextCount; ++i) {
        if (texts_[i].empty()) texts_[i] = kTexts[i].fallback;
    }
}

BOOL CQBDeleteDlg::OnInitDialog() {
    HWND dialog = Hwnd();
    LoadTexts();
    font_.ApplyToChildren(dialog);
    SetWindowTextW(dialog, texts_[kTitle].c_str());
    SetDlgItemTextW(dialog, IDC_QB_DELETE_HEADING, texts_[kHeading].c_str());
    SetDlgItemTextW(dialog, IDC_QB_DELETE_MESSAGE, texts_[kCreatingList].c_str());
    SetDlgItemTextW(dialog, IDC_QB_DELETE_BUTTON, texts_[kDeleteButton].c_str());
    SetDlgItemTextW(dialog, IDC_QB_DELETE_CLOSE, texts_[kCloseButton].c_str());
    tree_.Attach(dialog, IDC_QB_DELETE_TREE);
    tree_.SetBkColor(RGB(255, 255, 255));
    SetWindowPos(dialog, nullptr, 0, 0, kDialogSize, kDialogSize, SWP_NOMOVE | SWP_NOZORDER);

    tree_.Enable(false);
    images_ = LoadTreeImages(IDB_QB_TREE_FIRST);
    greyImages_ = LoadTreeImages(IDB_QB_TREE_GREY_FIRST);
    tree_.SetImageList(images_);
    // Nothing in the tree can be dragged, so a click is told at once rather than after the
    // control has watched the mouse for the start of a drag.
    SetWindowLongPtrW(tree_.Hwnd(), GWL_STYLE,
                      GetWindowLongPtrW(tree_.Hwnd(), GWL_STYLE) | TVS_HASLINES | TVS_HASBUTTONS |
                          TVS_DISABLEDRAGDROP);
    // The click notification carries no position: the item is the one under the button press.
    SetWindowSubclass(tree_.Hwnd(), TreeButtonProc, 0, reinterpret_cast<DWORD_PTR>(this));
    tree_.SetIndent(0);
    Layout();

    SetEvent(ready_.Get());
    {
        CScopedLock lock(treeLock_);
        if (treePending_) PostMessageW(dialog, SetTreeMessage().Id(), 0, 0);
    }
    {
        CScopedLock lock(stateLock_);
        state_ = kBuilding;
    }
    WriteFreeSpaceLine();
    UpdateStatusText();
    if (windowSlot_ != nullptr) *windowSlot_ = dialog;
    return TRUE;
}

// Return would press the default button; nothing here is confirmed with it.
void CQBDeleteDlg::OnOK() {}

void CQBDeleteDlg::OnCancel() {
    if (GetState() == kDeleting) return;
    EndDialog(IDCANCEL);
}

void CQBDeleteDlg::OnCloseButton() { OnCancel(); }

int CQBDeleteDlg::GetState() {
    CScopedLock lock(stateLock_);
    return state_;
}

void CQBDeleteDlg::SetFolderTree(std::unique_ptr<CQBTreeNode> root) {
    CScopedLock lock(treeLock_);
    pendingRoot_ = std::move(root);
    treePending_ = true;
    if (WaitForSingleObject(ready_.Get(), 0) == WAIT_OBJECT_0) PostMessageW(Hwnd(), SetTreeMessage().Id(), 0, 0);
}

void CQBDeleteDlg::SetDeviceName(const std::wstring& name) {
    {
        CScopedLock lock(spaceLock_);
        deviceName_ = name;
    }
    WriteFreeSpaceLine();
}

void CQBDeleteDlg::SetFreeSpace(uint64_t bytes) {
    {
        CScopedLock lock(spaceLock_);
        freeSpace_ = bytes;
    }
    WriteFreeSpaceLine();
}

void CQBDeleteDlg::IncrementDone() {
    {
        CScopedLock lock(counterLock_);
        if (done_ < total_) ++done_;
    }
    UpdateStatusText();
}

void CQBDeleteDlg::WriteFreeSpaceLine() {
    if (WaitForSingleObject(ready_.Get(), 0) != WAIT_OBJECT_0) return;
    std::wstring line;
    {
        CScopedLock lock(spaceLock_);
        // Until the player is known the line would read only " Free.".
        if (!deviceName_.empty() || freeSpace_ != 0) {
            line = Format(texts_[kFreeSpace], deviceName_.c_str(),
                          FormatByteSize(static_cast<int64_t>(freeSpace_), languageModule_).c_str());
        }
    }
    SetDlgItemTextW(Hwnd(), IDC_QB_DELETE_FREE_SPACE, line.c_str());
}

void CQBDeleteDlg::UpdateStatusText() {
    if (WaitForSingleObject(ready_.Get(), 0) != WAIT_OBJECT_0) return;
    HWND dialog = Hwnd();
    switch (GetState()) {
        case kReady: {
            int count = 0;
            uint64_t bytes = 0;
            {
                CScopedLock lock(treeLock_);
                if (root_) delete_selection::CountSelected(*root_, &count, &bytes);
            }
            const std::wstring line =
                itemMode_ ? Format(texts_[kStatusItems], count)
                          : Format(texts_[kStatus], count,
                                   FormatByteSize(static_cast<int64_t>(bytes), languageModule_).c_str());
            SetDlgItemTextW(dialog, IDC_QB_DELETE_STATUS, line.c_str());
            EnableWindow(GetDlgItem(dialog, IDC_QB_DELETE_BUTTON), count != 0);
            break;
        }
        case kDeleting: {
            int done = 0;
            int total = 0;
            {
                CScopedLock lock(counterLock_);
                done = done_;
                total = total_;
            }
            SetDlgItemTextW(dialog, IDC_QB_DELETE_STATUS, Format(texts_[kDeletingProgress], done, total).c_str());
            break;
        }
        case kBuilding:
            SetDlgItemTextW(dialog, IDC_QB_DELETE_STATUS, L"");
            EnableWindow(GetDlgItem(dialog, IDC_QB_DELETE_BUTTON), FALSE);
            break;
        default:
            break;
    }
}

void CQBDeleteDlg::SetState(State state) {
    {
        CScopedLock lock(stateLock_);
        if (state_ == state) return;
        state_ = state;
    }
    HWND dialog = Hwnd();
    HMENU systemMenu = GetSystemMenu(dialog, FALSE);
    if (state == kReady) {
        tree_.Enable(true);
        SetDlgItemTextW(dialog, IDC_QB_DELETE_BUTTON, texts_[kDeleteButton].c_str());
        EnableWindow(GetDlgItem(dialog, IDC_QB_DELETE_CLOSE), TRUE);
        tree_.SetImageList(images_);
        if (systemMenu != nullptr) EnableMenuItem(systemMenu, SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
    } else if (state == kDeleting) {
        tree_.Enable(false);
        SetDlgItemTextW(dialog, IDC_QB_DELETE_BUTTON, texts_[kCancelButton].c_str());
        EnableWindow(GetDlgItem(dialog, IDC_QB_DELETE_CLOSE), FALSE);
        tree_.SetImageList(greyImages_);
        if (systemMenu != nullptr) EnableMenuItem(systemMenu, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    }
    if (state == kClosing) return;
    UpdateStatusText();
    bool rootShown = false;
    {
        CScopedLock lock(treeLock_);
        rootShown = treeDelivered_ && root_ != nullptr;
    }
    if (rootShown) ShowWindow(GetDlgItem(dialog, IDC_QB_DELETE_MESSAGE), SW_HIDE);
}

LRESULT CQBDeleteDlg::OnSetTree(WPARAM, LPARAM) {
    if (GetState() == kClosing) return 0;
    ShowPendingTree();
    SetState(kReady);
    UpdateStatusText();
    return 0;
}

void CQBDeleteDlg::ShowPendingTree() {
    CScopedLock lock(treeLock_);
    if (!treePending_) return;
    SendMessageW(tree_.Hwnd(), WM_SETREDRAW, FALSE, 0);
    tree_.DeleteAllItems();
    root_ = std::move(pendingRoot_);
    treePending_ = false;
    treeDelivered_ = true;
    HWND message = GetDlgItem(Hwnd(), IDC_QB_DELETE_MESSAGE);
    if (!root_) {
        SetWindowTextW(message, itemMode_ ? texts_[kNoPlaylist].c_str() : L"");
        ShowWindow(message, SW_SHOW);
    } else {
        HTREEITEM rootItem = InsertNode(TVI_ROOT, *root_);
        InsertChildren(rootItem, *root_);
        tree_.Expand(rootItem);
        // TVM_EXPAND sends no expansion notices: the open folder image is set here.
        tree_.SetItemImage(rootItem, delete_selection::ImageIndex(*root_, true));
    }
    SendMessageW(tree_.Hwnd(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tree_.Hwnd(), nullptr, TRUE);
}

HTREEITEM CQBDeleteDlg::InsertNode(HTREEITEM parentItem, CQBTreeNode& node) {
    return tree_.InsertItem(node.GetName(), parentItem, TVI_LAST, delete_selection::ImageIndex(node, false),
                            reinterpret_cast<LPARAM>(&node));
}

void CQBDeleteDlg::InsertChildren(HTREEITEM parentItem, const CQBTreeNode& parent) {
    // Breadth by breadth with an explicit list: a player's folders may nest deeper than the
    // thread's stack allows. Each folder's children are inserted together, folders first.
    std::vector<std::pair<HTREEITEM, const CQBTreeNode*>> pending{{parentItem, &parent}};
    while (!pending.empty()) {
        const auto [item, node] = pending.back();
        pending.pop_back();
        const std::vector<CQBTreeNode*> children = node->GetChildren();
        for (CQBTreeNode* child : children) {
            if (child->IsFile()) continue;
            HTREEITEM childItem = InsertNode(item, *child);
            if (childItem != nullptr) pending.emplace_back(childItem, child);
        }
        for (CQBTreeNode* child : children) {
            if (child->IsFile()) InsertNode(item, *child);
        }
    }
}

CQBTreeNode* CQBDeleteDlg::NodeOf(HTREEITEM item) const {
    return reinterpret_cast<CQBTreeNode*>(tree_.GetItemData(item));
}

bool CQBDeleteDlg::IsExpanded(HTREEITEM item) const {
    return (SendMessageW(tree_.Hwnd(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) &
            TVIS_EXPANDED) != 0;
}

void CQBDeleteDlg::ToggleItem(HTREEITEM item) {
    {
        CScopedLock lock(treeLock_);
        CQBTreeNode* node = NodeOf(item);
        if (node == nullptr) return;
        delete_selection::SetSubtree(*node, delete_selection::Toggled(node->GetCheck()));
        RefreshImagesBelow(item);
        for (HTREEITEM parent = tree_.GetParentItem(item); parent != nullptr; parent = tree_.GetParentItem(parent)) {
            CQBTreeNode* parentNode = NodeOf(parent);
            if (parentNode == nullptr) break;
            parentNode->SetCheck(delete_selection::FromChildren(*parentNode));
            tree_.SetItemImage(parent, delete_selection::ImageIndex(*parentNode, IsExpanded(parent)));
        }
    }
    UpdateStatusText();
}

void CQBDeleteDlg::RefreshImagesBelow(HTREEITEM item) {
    std::vector<HTREEITEM> pending{item};
    while (!pending.empty()) {
        HTREEITEM current = pending.back();
        pending.pop_back();
        if (const CQBTreeNode* node = NodeOf(current)) {
            tree_.SetItemImage(current, delete_selection::ImageIndex(*node, IsExpanded(current)));
        }
        for (HTREEITEM child = tree_.GetChildItem(current); child != nullptr; child = tree_.GetNextSiblingItem(child)) {
            pending.push_back(child);
        }
    }
}

LRESULT CALLBACK CQBDeleteDlg::TreeButtonProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR self) {
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
        reinterpret_cast<CQBDeleteDlg*>(self)->buttonPoint_ = {static_cast<short>(LOWORD(lParam)),
                                                               static_cast<short>(HIWORD(lParam))};
    }
    return DefSubclassProc(tree, message, wParam, lParam);
}

HTREEITEM CQBDeleteDlg::ItemUnderButton(bool* onItem) const {
    TVHITTESTINFO hit{};
    hit.pt = buttonPoint_;
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(tree_.Hwnd(), TVM_HITTEST, 0,
                                                              reinterpret_cast<LPARAM>(&hit)));
    *onItem = (hit.flags & TVHT_ONITEM) != 0;
    return item;
}

LRESULT CQBDeleteDlg::OnTreeClick(NMHDR*) {
    bool onItem = false;
    HTREEITEM item = ItemUnderButton(&onItem);
    if (item == nullptr || !onItem || GetState() != kReady) return FALSE;
    ToggleItem(item);
    // The root's click is consumed, so its default handling does not run.
    return item == tree_.GetRootItem() ? TRUE : FALSE;
}

LRESULT CQBDeleteDlg::OnTreeDoubleClick(NMHDR*) {
    bool onItem = false;
    HTREEITEM item = ItemUnderButton(&onItem);
    return item != nullptr && item == tree_.GetRootItem() ? TRUE : FALSE;
}

LRESULT CQBDeleteDlg::OnTreeExpanded(NMHDR* header) {
    const auto* change = reinterpret_cast<const NMTREEVIEWW*>(header);
    CScopedLock lock(treeLock_);
    if (const CQBTreeNode* node = NodeOf(change->itemNew.hItem)) {
        tree_.SetItemImage(change->itemNew.hItem, delete_selection::ImageIndex(*node, IsExpanded(change->itemNew.hItem)));
    }
    return 0;
}

void CQBDeleteDlg::OnDeleteButton() {
    if (GetState() == kDeleting) {
        CScopedLock lock(callLock_);
        runner_.CancelDelete();
        return;
    }
    std::vector<CQBTreeNode*> selected;
    {
        CScopedLock lock(treeLock_);
        if (root_) delete_selection::CollectSelected(*root_, &selected);
        if (selected.empty() && root_) {
            root_->SetCheck(CQBTreeNode::kNotSelected);
            HTREEITEM rootItem = tree_.GetRootItem();
            if (rootItem != nullptr) {
                tree_.SetItemImage(rootItem, delete_selection::ImageIndex(*root_, IsExpanded(rootItem)));
            }
        }
    }
    if (selected.empty()) {
        UpdateStatusText();
        return;
    }
    {
        CScopedLock lock(counterLock_);
        total_ = static_cast<int>(selected.size());
        done_ = 0;
    }
    SetState(kDeleting);
    CScopedLock lock(callLock_);
    runner_.StartDelete(selected);
}

LRESULT CQBDeleteDlg::OnCloseRequest(WPARAM, LPARAM) {
    {
        CScopedLock lock(stateLock_);
        state_ = kClosing;
    }
    bool rootShown = false;
    {
        CScopedLock lock(treeLock_);
        rootShown = root_ != nullptr;
    }
    if (rootShown) ShowWindow(GetDlgItem(Hwnd(), IDC_QB_DELETE_MESSAGE), SW_HIDE);
    PostMessageW(Hwnd(), WM_CLOSE, 0, 0);
    return 0;
}

LRESULT CQBDeleteDlg::OnSize(WPARAM, LPARAM) {
    Layout();
    return 0;
}

LRESULT CQBDeleteDlg::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize = {kDialogSize, kDialogSize};
    return 0;
}

LRESULT CQBDeleteDlg::OnCtlColorEdit(WPARAM wParam, LPARAM lParam) {
    // The other texts keep the dialog manager's colours.
    if (reinterpret_cast<HWND>(lParam) != GetDlgItem(Hwnd(), IDC_QB_DELETE_MESSAGE)) {
        return DefaultProc(WM_CTLCOLORSTATIC, wParam, lParam);
    }
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetBkColor(dc, RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(whiteBrush_);
}

void CQBDeleteDlg::Layout() {
    RECT client{};
    if (!GetClientRect(Hwnd(), &client)) return;
    const int w = client.right;
    const int h = client.bottom;
    auto place = [this](int control, int x, int y, int width, int height) {
        MoveWindow(GetDlgItem(Hwnd(), control), x, y, width, height, TRUE);
    };
    place(IDC_QB_DELETE_HEADING, 10, 10, w - 20, 34);
    place(IDC_QB_DELETE_FREE_SPACE, 10, 44, w - 20, 18);
    place(IDC_QB_DELETE_TREE, 10, 65, w - 20, h - 125);
    place(IDC_QB_DELETE_STATUS, 10, h - 55, 380, 15);
    place(IDC_QB_DELETE_MESSAGE, 12, (h - 140) / 2 + 65, w - 24, 15);
    place(IDC_QB_DELETE_CLOSE, w - 90, h - 35, 80, 25);
    place(IDC_QB_DELETE_BUTTON, w - 185, h - 35, 80, 25);
    // The message line lies over the tree and must stay on top of it.
    SetWindowPos(GetDlgItem(Hwnd(), IDC_QB_DELETE_MESSAGE), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}
