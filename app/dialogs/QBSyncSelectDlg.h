#pragma once
// Chooses what a sync copies for one content kind: a preset of well-known folders, or a list of
// folders of the user's own. OK stores the preset, and for the own list the list file too.

#include <windows.h>

#include <string>
#include <vector>

#include "app/dialogs/DialogFont.h"
#include "app/dialogs/SyncPresets.h"
#include "platform/ui/UiDialog.h"

class CQBSyncSelectDlg : public CUiDialog {
public:
    // kind: 0 music, 2 movies, 3 podcasts. The folder browser starts in startFolder.
    CQBSyncSelectDlg(HMODULE languageModule, const std::wstring& startFolder, int kind);

    // The folders the presets stand for; the user's own folders unless set.
    void SetPresetFolders(const CSyncPresetFolders& folders) { folders_ = folders; }
    // Receives the dialog's window once it exists, so another thread can close it.
    void SetWindowSlot(HWND volatile* slot) { windowSlot_ = slot; }

    const CUiMessageMap& GetMessageMap() const override;

    // True when the two name the same folder: letter case and one trailing backslash aside.
    static bool IsSameFolder(const std::wstring& left, const std::wstring& right);

protected:
    enum class BrowseResult { kChosen, kNoFileSystemPath, kCancelled };
    // The shell's folder browser; virtual so tests can stand in for the user.
    virtual BrowseResult BrowseForFolder(const std::wstring& title, const std::wstring& startFolder,
                                         std::wstring* folder);

    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    void FillPresetBox(int effectivePreset);
    int SelectedPreset() const;
    void SelectPreset(int preset);
    void ShowFolders(const std::vector<std::wstring>& folders);
    void ShowSelectedPreset();
    void ShowOwnList();
    void Layout();

    LRESULT OnPresetCommand(WPARAM wParam, LPARAM);
    // The preset box's WM_COMMAND entry: its handler needs the notification code.
    static CUiMessageEntry PresetBoxCommand();
    void OnAdd();
    void OnRemove();
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnGetMinMaxInfo(WPARAM, LPARAM);

    static int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM lParam, LPARAM data);

    HMODULE languageModule_;
    std::wstring browseStart_;
    int kind_;
    CSyncPresetFolders folders_;
    std::vector<std::wstring> ownList_;
    // False when the saved own list exists but could not be read: it is then never written back.
    bool ownListReadable_ = true;
    CDialogFont font_;
    HWND volatile* windowSlot_ = nullptr;
};
