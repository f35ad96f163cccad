#pragma once

#include "library/device/DeviceControllerBase.h"
#include "library/util/ScopedWin.h"
#include "library/util/ScopedCom.h"
#include "platform/wpd/PortableDeviceApi.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

class CWpdContentAccess;

// The controller of a player reached as an MTP device through Windows Portable Devices. Where the
// mass-storage controller works with paths, this one works with object ids: its device folders,
// the out value of FileExists, the argument of DeleteContent and the paths of its tree nodes are
// object ids. One connection to the chosen player stays open between calls.
class CMTPDeviceController : public CDeviceControllerBase {
public:
    CMTPDeviceController();
    ~CMTPDeviceController() override;

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

    // The local folder that receives the car-audio copies and the registration marker: the
    // per-user data folder of the program, with a trailing backslash.
    void SetLocalDataFolder(const std::wstring& folder);

private:
    // What the open-and-test learns of a player; kept apart from the members so that probing
    // other devices never disturbs a write running on the chosen one.
    struct PlayerProbe {
        std::wstring storageId;
        std::wstring capabilityId;
        std::wstring iconId;
        std::wstring description;
    };
    struct PendingMember {
        std::wstring objectId;
        std::wstring playlistKey;
        int32_t expectedCount;
        int32_t memberIndex;
    };
    enum : size_t { kFolderCount = 6 };

    bool OpenAndTest(IPortableDeviceManager* manager, const std::wstring& id, bool leaveOpen, PlayerProbe* probe,
                     CScopedComPtr<IPortableDevice>* opened);
    std::vector<std::wstring> ListPlayers(IPortableDeviceManager* manager);
    HRESULT CreateManager(CScopedComPtr<IPortableDeviceManager>* manager);
    void OpenChosenDevice(IPortableDeviceManager* manager);
    void ReleaseConnection(bool close);
    CScopedComPtr<IPortableDevice> Connection();
    // An emptied property set for the next upload: making one per file costs Wine about eight trips
    // to its server (the class is looked up in the registry each time), more than the file's own.
    HRESULT UploadProperties(CScopedComPtr<IPortableDeviceValues>* values);

    bool ResolvePath(CWpdContentAccess& access, const std::wstring& relativePath, std::wstring* objectId);
    bool SetFolderByName(const std::wstring& relativeFolder, size_t index, bool create, bool* created = nullptr);
    // The folder object a write into `folderPath` (below the storage) goes to, made where missing;
    // `cached` tells whether it came from the folders found by earlier writes.
    HRESULT DestinationFolder(CWpdContentAccess& access, const std::wstring& folderPath, std::wstring* folderId,
                              bool* cached);
    // Whether the object is the folder at that path below the storage, by its names and parents.
    bool IsFolderAt(CWpdContentAccess& access, std::wstring objectId, const std::wstring& folderPath,
                    const std::wstring& storageId);
    void ForgetFolder(const std::wstring& folderId);
    HRESULT Upload(CWpdContentAccess& access, const std::wstring& parentId, const std::wstring& fileName,
                   CTNContent* content);
    // One block of a copy: reads up to `size` bytes (0 at the end) or writes them all.
    using BlockReader = std::function<HRESULT(void* buffer, ULONG size, ULONG* read)>;
    using BlockWriter = std::function<HRESULT(const void* buffer, ULONG size)>;
    // Stops (S_FALSE) when `stopRequested` answers true before a block.
    HRESULT CopyBlocks(const BlockReader& read, const BlockWriter& write, DWORD bufferSize, uint64_t total,
                       bool progress, const std::function<bool()>& stopRequested);
    // With progress (the mood cache) the copy also stops on the cancel event; a copy that does not
    // finish leaves no local file.
    HRESULT CopyObjectToFile(CWpdContentAccess& access, const std::wstring& objectId, const std::wstring& localPath,
                             bool progress);
    void AddPendingMember(const std::wstring& objectId, CTNContent* content);
    void CreatePlaylistIfComplete(CWpdContentAccess& access, const std::wstring& playlistKey,
                                  const std::wstring& playlistName);
    uint64_t MeasureSize(CWpdContentAccess& access, const std::wstring& folderId, bool* stopped);
    uint64_t CountFiles(CWpdContentAccess& access, const std::wstring& folderId, bool* stopped);
    bool FillTree(CWpdContentAccess& access, CQBTreeNode* node, int* count, int depth);
    bool FolderIsEmpty(const std::wstring& folderId);
    // The car-audio folder's object, and its files as (object id, path below the car-audio folder).
    bool FindCarAudioFolder(CWpdContentAccess& access, std::wstring* folderId);
    std::vector<std::pair<std::wstring, std::wstring>> CarAudioFiles(CWpdContentAccess& access,
                                                                     const std::wstring& carAudioId,
                                                                     std::vector<std::wstring>* folderIds);
    bool DeleteCarAudioTree(CWpdContentAccess& access);
    bool CreateCarAudioFolders(CWpdContentAccess& access);
    std::wstring Folder(size_t index);
    bool IsEnumerating();
    bool IsTreeRunning();

    IDevCtrlListener* listener_ = nullptr;
    CScopedComPtr<IPortableDevice> device_;
    std::wstring description_;
    std::wstring deviceId_;
    uint32_t playerCount_ = 0;
    uint64_t totalCapacity_ = 0;
    uint64_t measured_[5] = {};
    std::wstring storageId_;
    std::wstring folderIds_[kFolderCount];
    std::wstring capabilityId_;
    std::wstring iconId_;
    std::vector<PendingMember> pending_;
    // Folder paths of earlier writes and their object ids, so that a run of writes into one folder
    // does not walk the player's tree for each file. Emptied with the connection; a write begun on
    // an older connection (another generation) adds nothing.
    std::map<std::wstring, std::wstring> folderPathIds_;
    // Released with the connection, so that it never outlives the thread's COM.
    CScopedComPtr<IPortableDeviceValues> uploadProperties_;
    uint64_t connectionGeneration_ = 0;
    std::wstring rootPath_;
    std::wstring playlistFolderName_;
    bool modified_ = false;
    bool transferring_ = true;
    CCriticalSection transferringLock_;
    CCriticalSection enumerationLock_;
    bool enumerating_ = false;
    CCriticalSection treeLock_;
    bool treeRunning_ = false;
    CCriticalSection deviceLock_;
    // Guards the connection pointer, the ids and the strings above against the search thread.
    CCriticalSection stateLock_;
    std::wstring mediaRootFolder_;
    CScopedHandle cancelEvent_;
    CCriticalSection writeLock_;
    std::vector<std::wstring> snapshot_;
    // The block buffer of the last copy, kept for the next: a fresh one of the device's block size
    // for every file costs a good share of a small file's copy. A copy running alongside makes its own.
    std::vector<BYTE> spareBuffer_;
    CCriticalSection bufferLock_;
    std::wstring localDataFolder_;
};
