#pragma once

#include <windows.h>
#undef GetFreeSpace

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "library/capability/DefaultCapabilityXml.h"
#include "library/capability/DevCapability.h"
#include "library/content/RunnableTNContentHandler.h"
#include "library/device/DeviceControllerBase.h"
#include "library/device/MSCDeviceController.h"
#include "library/device/MTPDeviceController.h"
#include "library/util/ScopedWin.h"

class CCarAudioMoodStep;
class CQBTreeNode;

// The last stage of the content chain: writes every content that reaches it to the connected
// player, in the folder the player's capability document gives for its kind, and sorts the
// outcomes into result lists. It also finds the player (MTP first), reads its capability, sets up
// its folders and runs the enumeration, folder-tree, delete and icon work for the windows.
class CTransferManager : public CRunnableTNContentHandler,
                         public CDeviceControllerBase::IDevCtrlListener {
public:
    // Implemented by the coordinator. Keep the operations in this order.
    class IListener {
    public:
        virtual void OnContentProcessed() = 0;
        // Sizes of device folders 0 to 3, the file count of folder 4, free space, capacity.
        virtual void OnDeviceContents(uint64_t folder0, uint64_t folder1, uint64_t folder2,
                                      uint64_t folder3, uint64_t folder4Files, uint64_t freeBytes,
                                      uint64_t capacity) = 0;
        virtual void OnContentDeleted(int status) = 0;
        // The listener owns the rebuilt tree.
        virtual void OnDeleteFinished(int status, CQBTreeNode* root) = 0;
        // 0 and a tree the listener owns, or -1 and null.
        virtual void OnFolderTree(int status, CQBTreeNode* root) = 0;
        virtual void OnDiskFull() = 0;
        virtual void OnWriteProgress(uint32_t bytesWritten, uint32_t bytesTotal) = 0;
        // listKind: 0 music, 2 movie, 3 podcast; the path is the content's source path.
        virtual void OnContentResult(int listKind, std::wstring sourcePath) = 0;
        // Holds its place in the table; this object never calls it.
        virtual void OnUnusedSlot() {}
        virtual void OnMoodChannelStep(const wchar_t* path) = 0;
        virtual void OnMoodChannelDone(const wchar_t* path) = 0;
        // A car-audio unit was seen while only media players are looked for.
        virtual void OnDeviceWarning() = 0;
        // The setup wizard's refresh has listed the player's songs (on the refresh thread).
        virtual void OnSongCount(int /*count*/) {}

    protected:
        ~IListener() = default;
    };

    // The car-audio mood bookkeeping: told about every song written to a car-audio unit, on the
    // manager's own thread, with the active controller and the per-user data folder. The manager's
    // own one runs unless another is set; set null, nothing is kept.
    class ISongWrittenHook {
    public:
        virtual void OnCarAudioSongWritten(CTNContent* content, const std::wstring& destination,
                                           CDeviceControllerBase* controller,
                                           const std::wstring& dataFolder) = 0;

    protected:
        ~ISongWrittenHook() = default;
    };

    // The controllers this object talks to instead of its own (tests use simulated ones).
    struct Controllers {
        CDeviceControllerBase* mtp;
        CDeviceControllerBase* massStorage;
        // Reads and clears the mass-storage controller's car-audio warning.
        std::function<bool()> takeCarAudioWarning;
    };

    enum Mode : int32_t { kOrdinaryPlayer = 0, kCarAudioUnit = 1, kNoUsablePlayer = 2 };
    enum ControllerType : int32_t { kNoController = 0, kMtpController = 1, kMscController = 2 };
    enum DeviceState : int {
        kStateNoPlayer = 0,
        kStateFound = 1,
        kStateChanged = 2,
        kStateKeptOthersPresent = 3,
        kStateKept = 4,
    };
    enum FolderSlot : size_t {
        kSoundFolder = 0,
        kImageFolder,
        kVideoFolder,
        kFeedsFolder,
        kFeedSoundFolder,
        kFeedImageFolder,
        kFeedVideoFolder,
        kPlaylistFolder,
        kCarAudioFolder,
        kSpareFolder,
        kFolderSlotCount,
    };
    enum DepthSlot : size_t { kSoundDepth = 0, kImageDepth, kVideoDepth, kFeedsDepth, kFixedDepth,
                              kDepthSlotCount };

    static constexpr HRESULT kDiskFull = static_cast<HRESULT>(0x80070070);

    CTransferManager();
    explicit CTransferManager(const Controllers& controllers);
    ~CTransferManager() override;

    void SetListener(IListener* listener) { listener_ = listener; }
    void SetSongWrittenHook(ISongWrittenHook* hook) { songWrittenHook_ = hook; }
    // The user-interface mode; any value but 0 lets car-audio units be recognised.
    void SetCarAudioAllowed(int32_t allowed) { carAudioAllowed_ = allowed; }
    // The per-user data folder (with a trailing backslash) for the mood export, the car-audio
    // work files, the device icon and the refresh's cache folder; the program's own one unless set.
    void SetDataFolder(const std::wstring& folder) {
        dataFolder_ = folder;
        if (!folder.empty()) ownMtp_.SetLocalDataFolder(folder);
    }
    // The pause between polls of the capability file (200 ms) and the longest wait for a running
    // enumeration to stop (300 ms).
    void SetWaits(DWORD capabilityPollMs, DWORD stepWaitMs);

    HRESULT Stop() override;
    void Reset() override;
    void AddContent(CTNContent* content) override;

    void CancelTransfer();

    std::vector<std::wstring> GetFailedList();
    void ClearFailedList();
    std::vector<std::wstring> GetUnsupportedList();
    void ClearUnsupportedList();
    std::vector<std::wstring> GetUnlistedKind1List();
    void ClearUnlistedKind1List();
    std::vector<std::wstring> GetUnlistedKind4List();
    void ClearUnlistedKind4List();

    std::wstring BuildDestinationPath(const CTNContent* content) const;
    // found receives the controller's own name for the file (an object id on MTP players).
    bool ExistsOnDevice(const CTNContent* content, std::wstring* found = nullptr);

    uint64_t GetFreeSpace();
    uint64_t GetTotalSpace();
    std::wstring GetVolumeInfo();
    std::wstring GetMusicFolder() const { return folders_[kSoundFolder]; }
    std::wstring GetVideoFolder() const { return folders_[kVideoFolder]; }
    std::wstring GetFolder(FolderSlot slot) const { return folders_[slot]; }
    int32_t GetDepthLimit(DepthSlot slot) const { return depthLimits_[slot]; }
    int32_t GetMode() const { return mode_; }
    int32_t GetActiveControllerType() const { return activeType_; }
    bool IsDiskFull() const { return diskFull_; }
    bool IsTooDeep() const { return tooDeep_; }
    bool IsDeleting() const { return deleting_ != 0; }

    bool HasFeedPlayback(bool* hasFeeds);
    // Capability queries, each under the device lock; false without a capability document.
    bool HasCapability();
    bool IsCapabilityExtensionPlayable(const std::wstring& extension, int type, int filter);
    bool GetCapabilityBool(int property, bool defaultValue);
    bool FindPlaybackCapability(std::unique_ptr<CTNDevCapability::CPlaybackCapability>& record,
                                const std::wstring& extension, int type, int index, int filter);
    bool FindPlaybackCapabilityFor(std::unique_ptr<CTNDevCapability::CPlaybackCapability>& record,
                                   const std::wstring& extension, int type, int filter);
    // Counts one content that left the run before reaching this stage as finished.
    void CountFinishedElsewhere() { AddOneToTotal(); }
    // Manual reset; set while the device thread is idle.
    HANDLE StepEvent() const { return stepEvent_; }
    void ClearDiskFull() { diskFull_ = false; }
    // The active controller's three folder flags; all false without one.
    void GetFolderStates(bool* musicEmpty, bool* movieEmpty, bool* podcastEmpty);
    bool GetCapabilityExtensions(std::vector<std::wstring>& extensions, int type, int feedFilter);
    bool GetCapabilityFolder(std::wstring* folder, int folderType);
    bool GetCapabilityDepth(int* depth, int folderType);

    // The setup wizard's device work (user-interface thread unless said). A player that arrived
    // after the controllers' snapshot becomes the active one; false when none did or it cannot be
    // used (no capability document with audio formats, even the built-in one).
    bool CheckConnectedDevice(std::wstring* modelName, uint64_t* capacity, bool* registered, bool* ownBrand);
    // Registers an unregistered player, deregisters a registered one; E_POINTER without a player.
    HRESULT ToggleDeviceRegistration();
    // The refresh: the refresh thread lists the music folder and reports OnSongCount; the write
    // thread then copies every song into the cache folder, reporting each through the listener.
    void StartRefreshThread();
    // False without a listed song tree or while a write thread runs.
    bool StartWriteThread();
    static unsigned __stdcall RefreshThreadProc(void* transferManager);
    static unsigned __stdcall WriteThreadProc(void* transferManager);
    // Joins both refresh threads and drops a song tree that no write thread took.
    void WaitRefreshThreads();
    // Deletes the refresh's working copies and the cache folder on the PC.
    void DeleteCacheFiles();
    // The active controller's cached songs: (path on the player, working copy on the PC) pairs.
    void CopyDeviceList(std::vector<std::pair<std::wstring, std::wstring>>* list);
    // The cache folder of the refresh's working copies (with a trailing backslash).
    std::wstring CacheFolder() const;
    // The resource id of the built-in capability document in this program.
    void SetBuiltInCapabilityResource(int resourceId) { builtInCapabilityId_ = resourceId; }
    CDeviceControllerBase* MtpController() const { return mtp_; }
    CDeviceControllerBase* MassStorageController() const { return massStorage_; }
    // Null while no controller is active.
    CDeviceControllerBase* ActiveController() const {
        return activeType_ != kNoController ? active_ : nullptr;
    }
    void ClearActiveController() { activeType_ = kNoController; }
    // Runs fn with the parsed capability under the device lock; false without one.
    template <typename Fn>
    bool WithCapability(Fn fn) const {
        CScopedLock lock(deviceLock_);
        if (capability_ == nullptr) return false;
        fn(*capability_);
        return true;
    }

    // Device connection.
    void StartDeviceThread();
    void ShutdownDevices();
    int SelectController();
    int CheckDevice(bool* hasCapabilityFile);
    void RequestEnumeration();
    void AbortEnumeration();
    void StartFolderTreeThread(int folderIndex);
    void StopFolderTreeThread();
    void StartDeleteThread(const std::vector<CQBTreeNode*>& selection);
    void StopDeleteThread();
    // A new buffer the caller frees with delete[], or null.
    uint8_t* LoadDeviceIcon(unsigned* imageSize);
    std::wstring GetDeviceIconPath() const { return deviceIconPath_; }

    // IDevCtrlListener
    void OnContentsEnumerated(uint64_t folder0, uint64_t folder1, uint64_t folder2,
                              uint64_t folder3, uint64_t folder4Files, uint64_t freeBytes,
                              uint64_t capacity) override;
    void OnFolderTree(CQBTreeNode* root) override;
    void OnWriteProgress(uint32_t bytesWritten, uint32_t bytesTotal) override;
    void OnMoodChannelStep(const wchar_t* localDestination) override;
    void OnMoodChannelDone(const wchar_t* localDestination) override;

protected:
    void ProcessContent(CTNContent* content) override;
    void OnThreadStart() override;
    void OnThreadEnd() override;

private:
    static unsigned __stdcall DeviceThreadEntry(void* self);
    static unsigned __stdcall TreeThreadEntry(void* self);
    static unsigned __stdcall DeleteThreadEntry(void* self);

    void InitializeMembers();
    // Ends accepting and clears both controllers' transferring flags: the write in work stops at
    // its next step and no later one starts.
    void StopWrites();
    // Writes one content (and a video's companion) to the active player; the write's result.
    HRESULT WriteToPlayer(CTNContent* content, const std::wstring& destination);
    void RunDeviceThread();
    void RunTreeThread();
    void RunDeleteThread();

    void NotifyContentResult(const CTNContent* content);
    void MeasureDepth(const CTNContent* content, const std::wstring& destination);
    void MakeActive(int32_t type);
    void ClearActive();
    // Mode 2, the controller's and the stored device identifier forgotten.
    void DropPlayer();
    void DeleteCapability();
    bool ParseCapability(const char* bytes, DWORD size);
    bool ReadPlayerCapability(bool hasCapabilityFile);
    bool LoadBuiltInCapability();
    bool CapabilityListsAudio();
    void ConfigureFolders();
    void CleanCarAudioWorkFiles();
    void WaitForStep();
    void StopTreeOrDeleteThread();
    HANDLE StartThread(unsigned(__stdcall* entry)(void*));
    std::wstring DataFolder() const;

    // The selection of a delete run: the paths it deletes (the dialog owns the nodes).
    std::vector<std::wstring> selectionPaths_;
    mutable CCriticalSection deviceLock_;
    CCriticalSection resultLock_;
    CMTPDeviceController ownMtp_;
    CMSCDeviceController ownMassStorage_;
    CDeviceControllerBase* mtp_ = nullptr;
    CDeviceControllerBase* massStorage_ = nullptr;
    std::function<bool()> takeCarAudioWarning_;
    CDeviceControllerBase* active_ = nullptr;
    CTNDevCapability* capability_ = nullptr;
    IListener* listener_ = nullptr;
    std::unique_ptr<CCarAudioMoodStep> carAudioStep_;
    ISongWrittenHook* songWrittenHook_ = nullptr;
    HANDLE deviceThread_ = nullptr;
    HANDLE treeOrDeleteThread_ = nullptr;
    // The last tree handed to the listener; any other tree the tree thread gets back is its own.
    CQBTreeNode* volatile reportedTree_ = nullptr;
    HANDLE stepEvent_ = nullptr;
    HANDLE deviceThreadReady_ = nullptr;
    DWORD deviceThreadId_ = 0;
    int treeFolderIndex_ = 0;
    int32_t carAudioAllowed_ = 0;
    std::wstring folders_[kFolderSlotCount];
    std::vector<std::wstring> failedList_;
    std::vector<std::wstring> unsupportedList_;
    std::vector<std::wstring> unlistedKind1List_;
    std::vector<std::wstring> unlistedKind4List_;
    int32_t depthLimits_[kDepthSlotCount] = {2, 2, 2, 2, 2};
    bool tooDeep_ = false;
    volatile LONG deleting_ = 0;
    bool diskFull_ = false;
    int32_t mode_ = kNoUsablePlayer;
    int32_t activeType_ = kNoController;
    std::wstring deviceIconPath_;
    std::wstring dataFolder_;
    int builtInCapabilityId_ = kDefaultCapabilityResourceId;
    HANDLE refreshThread_ = nullptr;
    HANDLE writeThread_ = nullptr;
    // Listed by the refresh thread, taken and deleted by the write thread.
    CQBTreeNode* volatile songTree_ = nullptr;
    DWORD capabilityPollMs_ = 200;
    DWORD stepWaitMs_ = 300;
};
