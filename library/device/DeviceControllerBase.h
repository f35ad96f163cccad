#pragma once

#include <windows.h>
// winbase.h keeps a 16-bit leftover macro of this name; the controllers need it as a method.
#undef GetFreeSpace

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CQBTreeNode;
class CTNContent;

// The one object through which the program talks to a connected player. Paths on the player are
// a root plus a relative path; relative folders have no leading backslash and end in one
// ("MUSIC\"). The virtual operations keep this order: other modules call them through the table.
//
// Device folders by index: 0 music, 1 to 3 the kind folders, 4 the playlist folder (MTP only),
// 5 the hidden car-audio folder.
class CDeviceControllerBase {
public:
    // Receives the reports of long-running work, on the thread doing the work.
    class IDevCtrlListener {
    public:
        // At the end of a complete enumeration: byte sizes of folders 0 to 3 (folder 3 only when
        // feeds were asked for, else 0), the file count of folder 4, free space and capacity.
        virtual void OnContentsEnumerated(uint64_t folder0Bytes, uint64_t folder1Bytes,
                                          uint64_t folder2Bytes, uint64_t folder3Bytes,
                                          uint64_t folder4Files, uint64_t freeBytes,
                                          uint64_t capacityBytes) = 0;
        // The root of a built tree, or null when the folder is not set.
        virtual void OnFolderTree(CQBTreeNode* root) = 0;
        // Once with (0, total) before the first block, then after every block.
        virtual void OnWriteProgress(uint32_t bytesWritten, uint32_t bytesTotal) = 0;
        virtual void OnMoodChannelStep(const wchar_t* localDestination) = 0;
        virtual void OnMoodChannelDone(const wchar_t* localDestination) = 0;
        virtual void OnIdle(uint32_t) {}

    protected:
        ~IDevCtrlListener() = default;
    };

    // What the device mode means: 0 looks for media players only; 1 or more also accepts
    // car-audio units (players carrying the car-audio marker file).
    enum DeviceMode : int32_t { kMediaPlayersOnly = 0, kCarAudioAllowed = 1 };

    // Results of FindDevice.
    enum FindResult : int {
        kNoDevice = 0,
        kDeviceFound = 1,
        kDeviceReplaced = 2,
        kDeviceKeptOthersPresent = 3,
        kDeviceKept = 4,
    };

    // A write stopped by clearing the transferring flag.
    static constexpr HRESULT kWriteStopped = 1;

    CDeviceControllerBase() = default;
    virtual ~CDeviceControllerBase();
    CDeviceControllerBase(const CDeviceControllerBase&) = delete;
    CDeviceControllerBase& operator=(const CDeviceControllerBase&) = delete;

    // Apartment-threaded COM on the calling thread.
    virtual HRESULT InitializeCom();
    virtual void UninitializeCom() = 0;
    virtual void SetListener(IDevCtrlListener* listener) = 0;
    virtual int FindDevice() = 0;
    virtual std::wstring GetDeviceId() = 0;
    virtual void ClearDeviceId() = 0;
    // 0 written, kWriteStopped, or a failure HRESULT (0x80070070 when the player is full).
    virtual HRESULT WriteContent(std::wstring destination, CTNContent* content) = 0;
    virtual BOOL DeleteContent(const std::wstring& path) = 0;
    // On return *size holds the bytes read, or 0 when the file was not read whole.
    virtual void ReadCapabilityFile(void* buffer, DWORD* size) = 0;
    virtual void GetDeviceIcon(std::wstring* localPath) = 0;
    virtual bool FileExists(std::wstring relativePath, std::wstring* fullPath) = 0;
    virtual uint64_t GetFreeSpace() = 0;
    virtual uint64_t GetTotalSpace() = 0;
    virtual std::wstring GetVolumeLabel() = 0;
    virtual std::wstring GetRootPath() = 0;
    virtual void WritePlaylist(CTNContent* playlist) = 0;
    virtual bool CreateFolder(const std::wstring& relativeFolder) = 0;
    virtual bool SetKind1Folder(const std::wstring& relativeFolder) = 0;
    virtual bool SetKind2Folder(const std::wstring& relativeFolder) = 0;
    virtual bool SetKind3Folder(const std::wstring& relativeFolder) = 0;
    virtual bool PrepareFolder(const std::wstring& name) = 0;
    virtual bool CreateHiddenFolder(const std::wstring& relativeFolder) = 0;
    virtual std::wstring GetMediaRootFolder() = 0;
    virtual void EnumerateContents(bool includeFeeds) = 0;
    virtual void BeginEnumeration() = 0;
    virtual void AbortEnumeration() = 0;
    virtual void EndEnumeration() = 0;
    // The caller owns the returned tree (null when the folder is not set).
    virtual CQBTreeNode* BuildFolderTree(int folderIndex, int* nodeCount, bool notify) = 0;
    virtual void BeginTreeOperation() = 0;
    virtual void AbortTreeOperation() = 0;
    virtual void EndTreeOperation() = 0;
    // The transferring flag is the owner's: clearing it stops the write in work at its next step
    // and every later write before it moves a byte, until the owner sets it again. A write never
    // sets it itself, so a stop that comes before the write starts is not lost. Set after
    // construction.
    virtual void SetTransferring(bool transferring) = 0;
    virtual bool IsTransferring() = 0;
    virtual void SetModified() = 0;
    virtual void ClearPending() = 0;
    // The answers of CheckFolder1, CheckFolder2 and CheckFolder3, in that order.
    virtual void GetFolderStates(bool* folder1Empty, bool* folder2Empty, bool* folder3Empty);
    virtual bool CheckFolder1() = 0;
    virtual bool CheckFolder2() = 0;
    virtual bool CheckFolder3() = 0;
    virtual DWORD GetCapabilityFileSize() = 0;
    virtual void CopyFolderTree() = 0;
    virtual void ResetCancel() = 0;
    virtual void Cancel() = 0;
    virtual void Abort() = 0;
    virtual bool RebuildMoodCache(CQBTreeNode* musicTree) = 0;
    virtual HRESULT ToggleRegistration(bool* registeredNow) = 0;
    // Whether the player carries its capability document.
    virtual bool HasCapabilityFile();
    virtual void SnapshotDevices() = 0;
    virtual bool CheckDeviceArrived(std::wstring* label, uint64_t* capacity) = 0;
    virtual bool CheckDeviceStillPresent() = 0;

    void SetDeviceMode(int32_t mode) { deviceMode_ = mode; }
    // The files the last mood cache rebuild copied: (path on the player, local copy) pairs. Read
    // only while no rebuild runs.
    const std::vector<std::pair<std::wstring, std::wstring>>& MoodCopyPairs() const { return moodCopyPairs_; }
    int32_t GetDeviceMode() const { return deviceMode_; }

    static const wchar_t kCapabilityFileName[];
    static const wchar_t kCarAudioMarkerName[];

protected:
    int32_t deviceMode_ = kMediaPlayersOnly;
    // Source and destination of each file the mood cache rebuild copies.
    std::vector<std::pair<std::wstring, std::wstring>> moodCopyPairs_;
};
