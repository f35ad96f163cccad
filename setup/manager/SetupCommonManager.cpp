#include "setup/manager/SetupCommonManager.h"

#include "library/device/QBTreeNode.h"
#include "library/util/DataFolders.h"
#include "library/util/FileSystem.h"
#include "setup/manager/DeviceFormatMasks.h"
#include "setup/wizard/ISetupListener.h"
#include "setup/wizard/SetupCodes.h"

namespace {
const wchar_t kCarAudioFolderName[] = L"Tavrel_Automotive";
const wchar_t kCacheFolderName[] = L"HVX_Cache";
// The request kind of a working copy that goes back to the player it came from.
constexpr int32_t kRefreshRequestKind = 14;
// The user-interface mode that lets car-audio units be recognised.
constexpr int32_t kWizardUiMode = 1;
}  // namespace

CSetupCommonManager::CSetupCommonManager(ISetupListener* listener, const std::wstring& dataFolder)
    : listener_(listener), dataFolder_(dataFolder), dataInsert_(dataFolder) {
    contents_.SetCoordinator(this);
    if (!dataFolder_.empty()) {
        contents_.SetDataFolder(dataFolder_);
        transfer_.SetDataFolder(dataFolder_);
    }
    transfer_.SetBuiltInCapabilityResource(kBuiltInCapabilityResourceId);
}

CSetupCommonManager::~CSetupCommonManager() {
    contents_.SetNext(nullptr);
    checker_.SetNext(nullptr);
    cddb_.SetNext(nullptr);
    analysis_.SetNext(nullptr);
    dataInsert_.SetNext(nullptr);
    transfer_.SetNext(nullptr);
    // Only the wizard's own work files go: the sub-folders of the data folder also hold the main
    // program's per-player sync selections.
    const std::wstring folder = DataFolder();
    DeleteCachedFiles(folder, false, false);
    // The cache folder is the wizard's alone, and a player unplugged before exit leaves no list
    // of what it holds.
    DeleteFolderContents(folder + kCacheFolderName, true);
    DeleteCachedFiles(folder + kCarAudioFolderName, true, true);
    StopAll();
}

std::wstring CSetupCommonManager::DataFolder() const {
    return dataFolder_.empty() ? GetUserDataFolder() : dataFolder_;
}

HRESULT CSetupCommonManager::CreateCDDBManager() { return cddb_.AddManager(true); }

HRESULT CSetupCommonManager::Run() {
    HRESULT hr = CreateCDDBManager();
    if (SUCCEEDED(hr)) hr = analysis_.AddManager();
    analysis_.SetOption(true);
    if (FAILED(hr)) return hr;

    contents_.SetNext(&checker_);
    checker_.SetNext(&cddb_);
    cddb_.SetNext(&analysis_);
    analysis_.SetNext(&dataInsert_);
    dataInsert_.SetNext(&transfer_);

    transfer_.SetCarAudioAllowed(kWizardUiMode);
    transfer_.MtpController()->SetDeviceMode(kWizardUiMode);
    transfer_.MassStorageController()->SetDeviceMode(kWizardUiMode);
    transfer_.StartDeviceThread();
    transfer_.SetListener(this);

    if (FAILED(hr = transfer_.Start())) return hr;
    if (FAILED(hr = dataInsert_.Start())) return hr;
    analysis_.SetListener(this);
    if (FAILED(hr = analysis_.Start())) return hr;
    if (FAILED(hr = cddb_.Start())) return hr;
    if (FAILED(hr = checker_.Start())) return hr;
    contents_.SetListener(this);
    return contents_.Start();
}

HRESULT CSetupCommonManager::StopAll() {
    HRESULT last = S_OK;
    ITNContentHandler* parts[] = {&contents_, &transfer_, &dataInsert_, &analysis_, &cddb_, &checker_};
    for (ITNContentHandler* part : parts) {
        const HRESULT hr = part->Stop();
        if (FAILED(hr)) last = hr;
    }
    return last;
}

void CSetupCommonManager::ResetDevices() {
    transfer_.MtpController()->SnapshotDevices();
    transfer_.MassStorageController()->SnapshotDevices();
    transfer_.ClearActiveController();
}

bool CSetupCommonManager::IsDeviceConnected() {
    CDeviceControllerBase* active = transfer_.ActiveController();
    return active != nullptr && active->CheckDeviceStillPresent();
}

bool CSetupCommonManager::CheckConnectedDevice(std::wstring* modelName, uint64_t* capacity, bool* registered,
                                               bool* ownBrand) {
    return transfer_.CheckConnectedDevice(modelName, capacity, registered, ownBrand);
}

void CSetupCommonManager::TakeDevice() {
    DeviceFormatMasks masks;
    transfer_.WithCapability([&masks](const CTNDevCapability& capability) {
        masks = ReadDeviceFormatMasks(capability);
    });
    contents_.SetFileTypeMasks(masks.ordinary, masks.feed);
    audioFormats_ = masks.audio;
    imageFormats_ = masks.image;
    videoFormats_ = masks.video;
    podcasts_ = masks.podcast;
}

HRESULT CSetupCommonManager::ToggleDeviceRegistration() { return transfer_.ToggleDeviceRegistration(); }

void CSetupCommonManager::SetArtworkLookup(bool lookup) { cddb_.SetOptionB(lookup); }

bool CSetupCommonManager::PlayerHoldsSongs() {
    CDeviceControllerBase* active = transfer_.ActiveController();
    // The controller answers whether the music folder is empty.
    return active != nullptr && !active->CheckFolder1();
}

bool CSetupCommonManager::StartRefreshThread() {
    if (!songsPresent_) return false;
    if (CDeviceControllerBase* active = transfer_.ActiveController()) active->BeginTreeOperation();
    refreshRunning_ = true;
    transfer_.StartRefreshThread();
    return true;
}

void CSetupCommonManager::StartWriteThread() {
    if (refreshRunning_) transfer_.StartWriteThread();
}

void CSetupCommonManager::AddAnalysedFile(const std::wstring& cachePath) {
    // The contents manager strips this many characters to get the song's place in the player's
    // music folder. A controller that keeps the music folder's own name in the cache path (the
    // MTP one does) would otherwise have every song written back one music folder deeper.
    const std::wstring cache = transfer_.CacheFolder();
    size_t prefix = cache.size();
    const std::wstring musicFolder = transfer_.GetMusicFolder();
    if (!musicFolder.empty() && cachePath.size() > prefix + musicFolder.size() &&
        CompareStringOrdinal(cachePath.c_str() + prefix, static_cast<int>(musicFolder.size()), musicFolder.c_str(),
                             static_cast<int>(musicFolder.size()), TRUE) == CSTR_EQUAL) {
        prefix += musicFolder.size();
    }
    contents_.AddTransferRequest(kRefreshRequestKind, cachePath, static_cast<int32_t>(prefix));
}

void CSetupCommonManager::StopRefresh() {
    refreshRunning_ = false;
    if (CDeviceControllerBase* active = transfer_.ActiveController()) {
        active->AbortTreeOperation();
        active->Cancel();
        active->SetTransferring(false);
    }
    transfer_.WaitRefreshThreads();

    contents_.Cancel();
    checker_.Cancel();
    analysis_.CancelAll();
    cddb_.CancelAll();
    dataInsert_.Cancel();
    transfer_.Cancel();
    transfer_.CancelTransfer();

    contents_.Reset();
    cddb_.Reset();
    analysis_.Reset();
    dataInsert_.Reset();
    transfer_.Reset();
    checker_.Reset();

    analysis_.WaitAllAccepting();
    cddb_.WaitAllAccepting();

    contents_.ResetTotalCount();
    checker_.ResetTotalCount();
    cddb_.ResetTotalCounts();
    analysis_.ResetTotalCounts();
    dataInsert_.ResetTotalCount();
    transfer_.ResetTotalCount();
}

void CSetupCommonManager::DeleteCacheFiles() { transfer_.DeleteCacheFiles(); }

bool CSetupCommonManager::IsBusy() {
    return contents_.QueuedCount() != 0 || checker_.GetTotalCount() != 0 || cddb_.GetTotalCount() != 0 ||
           analysis_.GetTotalCount() != 0 || dataInsert_.GetTotalCount() != 0 || transfer_.GetTotalCount() != 0;
}

bool CSetupCommonManager::DeviceRequest(CTNContent* content, std::wstring* existingPath) {
    // The write replaces the object this names, so it must be the controller's own name for it
    // (an object id on MTP players), not the path it was looked up by.
    return transfer_.ExistsOnDevice(content, existingPath);
}

bool CSetupCommonManager::FindPlaybackCapability(std::unique_ptr<CTNDevCapability::CPlaybackCapability>& record,
                                                 const std::wstring& extension, int type, int index, int filter) {
    bool found = false;
    transfer_.WithCapability([&](const CTNDevCapability& capability) {
        found = capability.GetPlaybackCapability(record, extension, type, index, filter) == 0;
    });
    return found;
}

bool CSetupCommonManager::FindPlaybackCapabilityFor(std::unique_ptr<CTNDevCapability::CPlaybackCapability>& record,
                                                    const std::wstring& extension, int type, int filter) {
    bool found = false;
    transfer_.WithCapability([&](const CTNDevCapability& capability) {
        found = capability.GetPlaybackCapabilityFor(record, extension, type, filter) == 0;
    });
    return found;
}

void CSetupCommonManager::Progress(int value, int value2, int subtype, const wchar_t* text) {
    if (listener_ != nullptr) listener_->OnProcEvent(value, value2, SetupProgress::kKind, subtype, text, 0);
}

void CSetupCommonManager::OnContentProcessed() { Progress(0, 0, SetupProgress::kTransferred); }

void CSetupCommonManager::OnDeleteFinished(int, CQBTreeNode* root) { delete root; }

void CSetupCommonManager::OnFolderTree(int, CQBTreeNode* root) { delete root; }

void CSetupCommonManager::OnDiskFull() { Progress(0, 0, SetupProgress::kDiskFull); }

void CSetupCommonManager::OnWriteProgress(uint32_t bytesWritten, uint32_t bytesTotal) {
    Progress(static_cast<int>(bytesWritten), static_cast<int>(bytesTotal),
             moodStepRunning_ ? SetupProgress::kMoodStepWrite : SetupProgress::kWrite);
}

void CSetupCommonManager::OnMoodChannelStep(const wchar_t* path) {
    moodStepRunning_ = true;
    Progress(0, 0, SetupProgress::kMoodStepBegin, path);
}

void CSetupCommonManager::OnMoodChannelDone(const wchar_t* path) {
    moodStepRunning_ = false;
    Progress(0, 0, SetupProgress::kMoodStepDone, path);
}

void CSetupCommonManager::OnSongCount(int count) { Progress(count, 0, SetupProgress::kListReady); }

void CSetupCommonManager::NotifyItemDone() { Progress(0, 0, SetupProgress::kItemDone); }

