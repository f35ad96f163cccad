#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "library/device/DeviceControllerBase.h"
#include "library/device/DriveFacts.h"
#include "library/device/LockedFlag.h"
#include "library/util/ScopedWin.h"

// The controller of a player that shows up as a removable USB drive. Everything on the player is
// plain file work below its drive root ("E:\"); the player is named by its USB identity, so it
// keeps its id under another drive letter.
class CMSCDeviceController : public CDeviceControllerBase {
public:
    // Uses the real drive facts of this computer.
    CMSCDeviceController();
    // Takes drive letters, bus type and USB identity from the given facts (kept, not owned).
    explicit CMSCDeviceController(IDriveFacts& driveFacts);
    ~CMSCDeviceController() override;

    void UninitializeCom() override;
    void SetListener(IDevCtrlListener* listener) override;
    int FindDevice() override;
    std::wstring GetDeviceId() override;
    void ClearDeviceId() override;
    HRESULT WriteContent(std::wstring destination, CTNContent* content) override;
    BOOL DeleteContent(const std::wstring& path) override;
    void ReadCapabilityFile(void* buffer, DWORD* size) override;
    void GetDeviceIcon(std::wstring* localPath) override;
    bool FileExists(std::wstring relativePath, std::wstring* fullPath) override;
    uint64_t GetFreeSpace() override;
    uint64_t GetTotalSpace() override;
    std::wstring GetVolumeLabel() override;
    std::wstring GetRootPath() override;
    void WritePlaylist(CTNContent* playlist) override;
    bool CreateFolder(const std::wstring& relativeFolder) override;
    bool SetKind1Folder(const std::wstring& relativeFolder) override;
    bool SetKind2Folder(const std::wstring& relativeFolder) override;
    bool SetKind3Folder(const std::wstring& relativeFolder) override;
    bool PrepareFolder(const std::wstring& name) override;
    bool CreateHiddenFolder(const std::wstring& relativeFolder) override;
    std::wstring GetMediaRootFolder() override;
    void EnumerateContents(bool includeFeeds) override;
    void BeginEnumeration() override;
    void AbortEnumeration() override;
    void EndEnumeration() override;
    CQBTreeNode* BuildFolderTree(int folderIndex, int* nodeCount, bool notify) override;
    void BeginTreeOperation() override;
    void AbortTreeOperation() override;
    void EndTreeOperation() override;
    void SetTransferring(bool transferring) override;
    bool IsTransferring() override;
    void SetModified() override;
    void ClearPending() override;
    bool CheckFolder1() override;
    bool CheckFolder2() override;
    bool CheckFolder3() override;
    DWORD GetCapabilityFileSize() override;
    void CopyFolderTree() override;
    void ResetCancel() override;
    void Cancel() override;
    void Abort() override;
    bool RebuildMoodCache(CQBTreeNode* musicTree) override;
    HRESULT ToggleRegistration(bool* registeredNow) override;
    void SnapshotDevices() override;
    bool CheckDeviceArrived(std::wstring* label, uint64_t* capacity) override;
    bool CheckDeviceStillPresent() override;

    // Set by FindDevice when a car-audio unit is seen while only media players are looked for;
    // the owner reads it, shows its warning once and clears it.
    bool GetCarAudioWarning() const { return carAudioWarning_; }
    void ClearCarAudioWarning() { carAudioWarning_ = false; }
    // The device folder of that index (0 to 5), empty when not set.
    std::wstring GetDeviceFolder(int index) const;

    // The candidate test of one drive root: a removable USB volume, carrying the capability
    // document or the car-audio marker when player files are required. Fills the USB identity.
    bool IsPlayerDrive(const std::wstring& root, std::wstring* deviceId, bool requirePlayerFiles);
    // Copies in 256 KiB blocks with a stop test before each block, under the write lock. 0, kWriteStopped, E_FAIL or
    // the HRESULT of ERROR_DISK_FULL; on anything but 0 the target is gone and the file it
    // replaced is back under its own name. An existing file is kept aside in every mode (the
    // keepBackup argument of the original interface no longer changes that); a folder is never
    // a target.
    HRESULT CopyFileInBlocks(const std::wstring& source, const std::wstring& target,
                             bool keepBackup, bool reportProgress, bool hide);
    uint64_t GetFolderSize(const std::wstring& path, bool includeHidden);
    uint64_t CountFolderFiles(const std::wstring& path);
    bool IsFolderEmpty(const std::wstring& path);
    // Every name the car-audio set may use below folder 5, whether it exists or not.
    CQBTreeNode* BuildMoodFileTree();

private:
    struct Drive {
        std::wstring root;
        std::wstring deviceId;
    };

    void AddFolderChildren(CQBTreeNode* node, const std::wstring& path, int* count,
                           bool includeHidden, int depth);
    uint64_t MeasureFolder(const std::wstring& path, bool includeHidden, int depth);
    void CopyFolderToLocal(const std::wstring& devicePath);
    void CopyFolderFiles(const std::wstring& source, const std::wstring& target, int depth);
    void DeleteTreeFiles(CQBTreeNode* node, int depth);
    void CollectFilePairs(CQBTreeNode* node, const std::wstring& destination, int depth);
    bool MakeHiddenCarAudioFolders();
    bool IsCancelled();
    std::vector<Drive> CollectDrives(DWORD mask, bool requirePlayerFiles);
    bool HasRoot() const { return !root_.empty(); }
    bool RootFileExists(const wchar_t* name);

    CWin32DriveFacts ownDriveFacts_;
    IDriveFacts& driveFacts_;

    CLockedFlag transferring_{true};
    CLockedFlag enumerating_;
    CLockedFlag treeOperation_;
    CCriticalSection writeLock_;
    // The block buffer of CopyFileInBlocks, kept between copies; used under the write lock.
    std::vector<BYTE> copyBuffer_;
    IDevCtrlListener* listener_ = nullptr;
    std::wstring deviceId_;
    std::wstring root_;
    std::wstring folders_[6];
    uint64_t capacity_ = 0;
    uint64_t measures_[5] = {};
    bool modified_ = false;
    CScopedHandle cancelEvent_;
    std::vector<std::wstring> snapshot_;
    bool carAudioWarning_ = false;
    std::vector<std::wstring> warnedDeviceIds_;
    DWORD lastDriveMask_ = 0;
    int lastFindResult_ = kNoDevice;
    // FindDevice must look at the drives again even when the mask has not changed.
    bool rescanNeeded_ = true;
};
