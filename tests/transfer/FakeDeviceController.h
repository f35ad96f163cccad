#pragma once
// A scripted player for the transfer manager's tests: files land below a local folder standing
// for the player's root; finding, capability reads and write results follow what the test sets.

#include <windows.h>

#include <atomic>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "library/device/DeviceControllerBase.h"
#include "library/util/ScopedWin.h"

class CFakeDeviceController : public CDeviceControllerBase {
public:
    explicit CFakeDeviceController(std::wstring root) : root_(std::move(root)) {}

    // What the test sets.
    std::deque<int> findResults;  // one per FindDevice; kNoDevice when none is left
    std::wstring deviceId = L"0bda_1234_SER";
    std::string capability;
    // GetCapabilityFileSize answers 0 this many times first; reads come short this many times.
    int zeroSizeAnswers = 0;
    // When not 0, the size GetCapabilityFileSize claims whatever the document holds.
    DWORD claimedSize = 0;
    int shortReads = 0;
    // A write whose destination contains the key ends with the value instead of copying.
    std::map<std::wstring, HRESULT> writeResults;
    // Each write waits for this event (when set) after its first block (a scripted one before its
    // result), so tests can cancel.
    HANDLE holdWrite = nullptr;
    HANDLE writeStarted = nullptr;
    std::wstring iconSource;
    // A tree build waits for this event (when set) once the operation started.
    HANDLE holdTree = nullptr;
    // Set when a tree build starts.
    HANDLE treeEntered = nullptr;

    // What the test reads.
    std::vector<std::wstring> writes;
    // The records of the writes: kind, replace flag and relative path as the controller saw them.
    struct WrittenRecord {
        uint32_t kind;
        uint8_t replaceExisting;
        std::wstring relativePath;
    };
    std::vector<WrittenRecord> writtenRecords;
    std::vector<std::wstring> deleted;
    std::vector<std::wstring> calls;
    std::vector<DWORD> readSizesAsked;
    int sizeQueries = 0;
    std::atomic<uint64_t> freeSpace{1000};
    std::atomic<int> freeSpaceQueries{0};
    std::wstring folders[6];

    std::wstring Full(const std::wstring& relative) const { return root_ + relative; }

    void UninitializeCom() override { calls.push_back(L"UninitializeCom"); }
    void SetListener(IDevCtrlListener* listener) override { listener_ = listener; }
    int FindDevice() override;
    std::wstring GetDeviceId() override { return deviceId; }
    void ClearDeviceId() override { calls.push_back(L"ClearDeviceId"); }
    HRESULT WriteContent(std::wstring destination, CTNContent* content) override;
    BOOL DeleteContent(const std::wstring& path) override;
    void ReadCapabilityFile(void* buffer, DWORD* size) override;
    void GetDeviceIcon(std::wstring* localPath) override;
    bool FileExists(std::wstring relativePath, std::wstring* fullPath) override;
    uint64_t GetFreeSpace() override {
        ++freeSpaceQueries;
        return freeSpace;
    }
    uint64_t GetTotalSpace() override { return 5000; }
    std::wstring GetVolumeLabel() override { return L"FAKE"; }
    std::wstring GetRootPath() override { return root_; }
    void WritePlaylist(CTNContent*) override { calls.push_back(L"WritePlaylist"); }
    bool CreateFolder(const std::wstring& relative) override;
    bool SetKind1Folder(const std::wstring& relative) override { folders[1] = relative; return true; }
    bool SetKind2Folder(const std::wstring& relative) override { folders[2] = relative; return true; }
    bool SetKind3Folder(const std::wstring& relative) override { folders[3] = relative; return true; }
    bool PrepareFolder(const std::wstring& name) override { folders[4] = name; return false; }
    bool CreateHiddenFolder(const std::wstring& relative) override;
    std::wstring GetMediaRootFolder() override { return L"MUSIC\\"; }
    void EnumerateContents(bool includeFeeds) override;
    void BeginEnumeration() override { enumerating_ = true; }
    void AbortEnumeration() override { enumerating_ = false; }
    void EndEnumeration() override { enumerating_ = false; }
    CQBTreeNode* BuildFolderTree(int folderIndex, int* nodeCount, bool notify) override;
    void BeginTreeOperation() override { treeRunning_ = true; }
    void AbortTreeOperation() override { treeRunning_ = false; }
    void EndTreeOperation() override { treeRunning_ = false; }
    void SetTransferring(bool transferring) override { transferring_ = transferring; }
    bool IsTransferring() override { return transferring_; }
    void SetModified() override {}
    void ClearPending() override { calls.push_back(L"ClearPending"); }
    bool CheckFolder1() override { return false; }
    bool CheckFolder2() override { return false; }
    bool CheckFolder3() override { return false; }
    DWORD GetCapabilityFileSize() override;
    void CopyFolderTree() override { calls.push_back(L"CopyFolderTree"); }
    void ResetCancel() override {}
    void Cancel() override {}
    void Abort() override {}
    bool RebuildMoodCache(CQBTreeNode*) override { return true; }
    HRESULT ToggleRegistration(bool*) override { return E_NOTIMPL; }
    void SnapshotDevices() override {}
    bool CheckDeviceArrived(std::wstring*, uint64_t*) override { return false; }
    bool CheckDeviceStillPresent() override { return true; }

    int enumerationFeedsAsked = -1;

private:
    std::wstring root_;
    IDevCtrlListener* listener_ = nullptr;
    std::atomic<bool> transferring_{true};
    std::atomic<bool> enumerating_{false};
    std::atomic<bool> treeRunning_{false};
    CCriticalSection lock_;
};
