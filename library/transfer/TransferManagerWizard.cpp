// The setup wizard's part: examining a newly connected player, its car-audio registration, and
// the refresh that copies every song into the cache folder for the pipeline to analyse.
#include "library/transfer/TransferManager.h"

#include <objbase.h>
#include <process.h>

#include "library/device/QBTreeNode.h"
#include "library/mood/MoodChannelExport.h"
#include "library/util/FileSystem.h"
#include "library/util/Settings.h"

namespace {
const wchar_t kCarAudioFolderName[] = L"Tavrel_Automotive";
const wchar_t kCacheFolderName[] = L"HVX_Cache";
constexpr int kMaxTreeDepth = 64;

// The songs of a listed tree: its files. The controllers' own count includes the folders, which
// the refresh never hands back and so would never be finished.
int CountFiles(const CQBTreeNode* node, int depth) {
    if (node == nullptr || depth > kMaxTreeDepth) return 0;
    int files = 0;
    for (const CQBTreeNode* child : node->GetChildren()) {
        files += child->IsFile() ? 1 : CountFiles(child, depth + 1);
    }
    return files;
}

void JoinAndClose(HANDLE* thread) {
    if (*thread == nullptr) return;
    WaitForSingleObject(*thread, INFINITE);
    CloseHandle(*thread);
    *thread = nullptr;
}
}  // namespace

std::wstring CTransferManager::CacheFolder() const { return DataFolder() + kCacheFolderName + L"\\"; }

bool CTransferManager::CheckConnectedDevice(std::wstring* modelName, uint64_t* capacity, bool* registered,
                                            bool* ownBrand) {
    std::wstring name;
    uint64_t bytes = 0;
    if (mtp_->CheckDeviceArrived(&name, &bytes)) {
        active_ = mtp_;
        activeType_ = kMtpController;
    } else if (massStorage_->CheckDeviceArrived(&name, &bytes)) {
        active_ = massStorage_;
        activeType_ = kMscController;
    } else {
        activeType_ = kNoController;
        return false;
    }
    if (modelName != nullptr) *modelName = name;
    if (capacity != nullptr) *capacity = bytes;

    std::wstring found;
    const bool isRegistered = active_->FileExists(CDeviceControllerBase::kCarAudioMarkerName, &found);
    const bool isOwnBrand = active_->FileExists(CDeviceControllerBase::kCapabilityFileName, &found);
    if (registered != nullptr) *registered = isRegistered;
    if (ownBrand != nullptr) *ownBrand = isOwnBrand;

    diskFull_ = false;
    for (std::wstring& folder : folders_) folder.clear();
    if (isRegistered) {
        mode_ = kCarAudioUnit;
        folders_[kCarAudioFolder] = kCarAudioFolderName;
        active_->CreateHiddenFolder(folders_[kCarAudioFolder]);
        CleanCarAudioWorkFiles();
        BeginMoodChannelExport(DataFolder());
    } else {
        mode_ = kOrdinaryPlayer;
        EndMoodChannelExport();
        CleanCarAudioWorkFiles();
    }
    DeleteCapability();

    // The player's own document first; one without audio formats gives way to the built-in one.
    const bool usable = ReadPlayerCapability(false) &&
                        (CapabilityListsAudio() || (LoadBuiltInCapability() && CapabilityListsAudio()));
    if (!usable) {
        DropPlayer();
        return false;
    }
    ConfigureFolders();
    return true;
}

HRESULT CTransferManager::ToggleDeviceRegistration() {
    if (activeType_ == kNoController) return E_POINTER;
    bool registeredNow = false;
    const HRESULT hr = active_->ToggleRegistration(&registeredNow);
    if (FAILED(hr)) return hr;
    if (registeredNow) {
        mode_ = kCarAudioUnit;
        folders_[kCarAudioFolder] = kCarAudioFolderName;
        BeginMoodChannelExport(DataFolder());
    } else {
        mode_ = kOrdinaryPlayer;
        folders_[kCarAudioFolder].clear();
        EndMoodChannelExport();
    }
    return hr;
}

void CTransferManager::StartRefreshThread() {
    // A finished refresh leaves its ended threads behind; a new one starts from none.
    WaitRefreshThreads();
    refreshThread_ = StartThread(&CTransferManager::RefreshThreadProc);
}

bool CTransferManager::StartWriteThread() {
    // Without a listed tree the write would empty the player's mood files and copy nothing.
    if (songTree_ == nullptr || writeThread_ != nullptr) return false;
    writeThread_ = StartThread(&CTransferManager::WriteThreadProc);
    return writeThread_ != nullptr;
}

unsigned __stdcall CTransferManager::RefreshThreadProc(void* transferManager) {
    auto* self = static_cast<CTransferManager*>(transferManager);
    if (self == nullptr || self->activeType_ == kNoController) return 1;
    CDeviceControllerBase* controller = self->active_;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int nodes = 0;
    CQBTreeNode* tree = controller->BuildFolderTree(0, &nodes, false);
    controller->EndTreeOperation();
    self->songTree_ = tree;
    if (self->listener_ != nullptr) self->listener_->OnSongCount(CountFiles(tree, 0));
    CoUninitialize();
    return 0;
}

unsigned __stdcall CTransferManager::WriteThreadProc(void* transferManager) {
    auto* self = static_cast<CTransferManager*>(transferManager);
    if (self == nullptr) return 1;
    CQBTreeNode* tree = self->songTree_;
    unsigned code = 1;
    if (self->activeType_ != kNoController && tree != nullptr) {
        CDeviceControllerBase* controller = self->active_;
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        controller->ResetCancel();
        controller->RebuildMoodCache(tree);
        controller->Abort();
        CoUninitialize();
        code = 0;
    }
    self->songTree_ = nullptr;
    delete tree;
    return code;
}

void CTransferManager::WaitRefreshThreads() {
    JoinAndClose(&refreshThread_);
    JoinAndClose(&writeThread_);
    CQBTreeNode* left = songTree_;
    songTree_ = nullptr;
    delete left;
}

void CTransferManager::CopyDeviceList(std::vector<std::pair<std::wstring, std::wstring>>* list) {
    if (list == nullptr) return;
    *list = activeType_ != kNoController ? active_->MoodCopyPairs()
                                         : std::vector<std::pair<std::wstring, std::wstring>>();
}

void CTransferManager::DeleteCacheFiles() {
    if (activeType_ == kNoController) return;
    std::vector<std::pair<std::wstring, std::wstring>> cached;
    CopyDeviceList(&cached);
    for (const auto& song : cached) DeleteFileW(song.second.c_str());
    DeleteFolderContents(CacheFolder(), true);
}
