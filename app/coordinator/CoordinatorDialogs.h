#pragma once
// The dialogs the coordinator runs for the window and for automation. Each call runs its dialog
// modally on the calling thread and returns when it has closed.

#include <windows.h>

#include <cstdint>
#include <string>

class CQBCommonManager;
class CQBTreeNode;

class ICoordinatorDialogs {
public:
    struct SettingsSheetArgs {
        bool forAutomation = false;
        bool carAudioUnit = false;
        bool carAudioInstalled = false;
        std::wstring volumeName;
    };
    // IDOK, IDCANCEL or 5 (the setup wizard was started).
    virtual INT_PTR RunSettingsSheet(CQBCommonManager* coordinator, const SettingsSheetArgs& args) = 0;
    // Kind 0 to 4. True when something was deleted. `dialogWindow` receives the dialog's window as
    // soon as it exists (null again when it has closed) so the coordinator can close it.
    virtual bool RunDeleteDialog(CQBCommonManager* coordinator, int32_t kind, HWND volatile* dialogWindow) = 0;
    // IDOK or IDCANCEL; `presets` receives the chosen presets' text for automation.
    virtual INT_PTR RunSyncSelectDialog(CQBCommonManager* coordinator, int32_t kind, HWND volatile* dialogWindow,
                                        std::wstring* presets) = 0;
    virtual void RunLogDialog(const std::wstring& report) = 0;
    // The kind's stored sync preset (0 music, 2 movie, 3 podcast), an automatic one resolved, and
    // the language-module string id that names a preset (-1 for none).
    virtual int GetEffectiveSyncPreset(int kind) = 0;
    virtual int GetSyncPresetName(int preset) = 0;
    // The transfer stage's reports for the open delete dialog, from its threads. The trees are
    // taken over; a null root answers a kind without contents.
    virtual void OnFolderTree(CQBTreeNode* root) = 0;
    virtual void OnContentDeleted() = 0;
    virtual void OnDeleteFinished(CQBTreeNode* root, uint64_t freeBytes) = 0;

protected:
    ~ICoordinatorDialogs() = default;
};
