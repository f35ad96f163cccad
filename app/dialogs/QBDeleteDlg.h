#pragma once
// Lets the user tick files and folders (or playlists) of the connected player and delete them.
// The coordinator feeds it from other threads: the folder tree, the device name, the free space
// and the progress of a delete run; the dialog starts and cancels the run through it.
//
// States: 0 building the list, 1 ready, 2 deleting, 3 closing.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "library/device/QBTreeNode.h"
#include "library/util/ScopedWin.h"
#include "platform/ui/UiDialog.h"
#include "platform/ui/UiRegisteredMessage.h"
#include "platform/ui/UiTreeCtrl.h"
#include "app/dialogs/DialogFont.h"

// The tree view of the dialog; a plain tree control.
class CQBTreeCtrl : public CUiTreeCtrl {};

class CQBDeleteDlg : public CUiDialog {
public:
    enum State { kBuilding = 0, kReady = 1, kDeleting = 2, kClosing = 3 };
    // The kind whose contents are playlists: the texts count items.
    static constexpr int kPlaylistKind = 4;

    // The coordinator's side of a delete run.
    class IDeleteRunner {
    public:
        // Deletes the nodes on the player; progress and the rebuilt tree come back through
        // IncrementDone, SetFreeSpace and SetFolderTree.
        virtual void StartDelete(const std::vector<CQBTreeNode*>& nodes) = 0;
        virtual void CancelDelete() = 0;

    protected:
        ~IDeleteRunner() = default;
    };

    // Sent by the coordinator when the player goes away: the dialog closes.
    static const CUiRegisteredMessage& CloseMessage();
    // Posted by SetFolderTree: the dialog shows the pending tree.
    static const CUiRegisteredMessage& SetTreeMessage();

    CQBDeleteDlg(IDeleteRunner& runner, HMODULE languageModule, int kind);
    ~CQBDeleteDlg() override;

    // From any thread. The dialog takes the tree over; null means the kind has nothing.
    void SetFolderTree(std::unique_ptr<CQBTreeNode> root);
    void SetDeviceName(const std::wstring& name);
    void SetFreeSpace(uint64_t bytes);
    // One more node deleted (never above the total), and the status line rewritten.
    void IncrementDone();
    void UpdateStatusText();

    int GetState();
    // Receives the dialog's window once it exists, so the coordinator can send it the close message.
    void SetWindowSlot(HWND volatile* slot) { windowSlot_ = slot; }

    const CUiMessageMap& GetMessageMap() const override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    enum Text {
        kTitle, kDeleteButton, kCloseButton, kCancelButton, kHeading, kFreeSpace, kStatus, kStatusItems,
        kDeletingProgress, kCreatingList, kNoPlaylist, kTextCount
    };

    void LoadTexts();
    void SetState(State state);
    void ShowPendingTree();
    void InsertChildren(HTREEITEM parentItem, const CQBTreeNode& parent);
    HTREEITEM InsertNode(HTREEITEM parentItem, CQBTreeNode& node);
    void ToggleItem(HTREEITEM item);
    void RefreshImagesBelow(HTREEITEM item);
    void WriteFreeSpaceLine();
    void Layout();
    CQBTreeNode* NodeOf(HTREEITEM item) const;
    bool IsExpanded(HTREEITEM item) const;

    void OnDeleteButton();
    void OnCloseButton();
    LRESULT OnSetTree(WPARAM, LPARAM);
    LRESULT OnCloseRequest(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnGetMinMaxInfo(WPARAM, LPARAM);
    LRESULT OnCtlColorEdit(WPARAM, LPARAM);
    static LRESULT CALLBACK TreeButtonProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                           DWORD_PTR self);
    HTREEITEM ItemUnderButton(bool* onItem) const;
    LRESULT OnTreeClick(NMHDR*);
    LRESULT OnTreeDoubleClick(NMHDR*);
    LRESULT OnTreeExpanded(NMHDR*);

    IDeleteRunner& runner_;
    HMODULE languageModule_;
    int kind_;
    bool itemMode_;
    std::wstring texts_[kTextCount];

    CCriticalSection stateLock_;
    State state_ = kBuilding;
    CCriticalSection treeLock_;
    std::unique_ptr<CQBTreeNode> root_;
    std::unique_ptr<CQBTreeNode> pendingRoot_;
    bool treePending_ = false;
    bool treeDelivered_ = false;
    CCriticalSection spaceLock_;
    std::wstring deviceName_;
    uint64_t freeSpace_ = 0;
    CCriticalSection counterLock_;
    int total_ = 0;
    int done_ = 0;
    CCriticalSection callLock_;
    CScopedHandle ready_;

    HWND volatile* windowSlot_ = nullptr;
    CQBTreeCtrl tree_;
    // Where the last button press in the tree was, in its client coordinates (dialog thread only).
    POINT buttonPoint_{-1, -1};
    HIMAGELIST images_ = nullptr;
    HIMAGELIST greyImages_ = nullptr;
    CDialogFont font_;
    HBRUSH whiteBrush_;
};
