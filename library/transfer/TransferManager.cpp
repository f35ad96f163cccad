#include "library/transfer/TransferManager.h"

#include <process.h>

#include "library/capability/DevCapability.h"
#include "library/transfer/CarAudioMoodStep.h"
#include "library/util/DataFolders.h"

CTransferManager::CTransferManager() {
    mtp_ = &ownMtp_;
    massStorage_ = &ownMassStorage_;
    takeCarAudioWarning_ = [this]() {
        const bool warned = ownMassStorage_.GetCarAudioWarning();
        ownMassStorage_.ClearCarAudioWarning();
        return warned;
    };
    InitializeMembers();
}

CTransferManager::CTransferManager(const Controllers& controllers) {
    mtp_ = controllers.mtp;
    massStorage_ = controllers.massStorage;
    takeCarAudioWarning_ = controllers.takeCarAudioWarning;
    InitializeMembers();
}

void CTransferManager::InitializeMembers() {
    stepEvent_ = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    carAudioStep_.reset(new CCarAudioMoodStep());
    songWrittenHook_ = carAudioStep_.get();
    mtp_->SetListener(this);
    massStorage_->SetListener(this);
    active_ = mtp_;
}

CTransferManager::~CTransferManager() {
    if (refreshThread_ != nullptr || writeThread_ != nullptr) {
        active_->AbortTreeOperation();
        active_->Cancel();
        WaitRefreshThreads();
    }
    StopWrites();
    CRunnableTNContentHandler::Stop();
    Stop();
    StopTreeOrDeleteThread();
    mtp_->SetListener(nullptr);
    massStorage_->SetListener(nullptr);
    if (stepEvent_ != nullptr) CloseHandle(stepEvent_);
}

void CTransferManager::SetWaits(DWORD capabilityPollMs, DWORD stepWaitMs) {
    capabilityPollMs_ = capabilityPollMs;
    stepWaitMs_ = stepWaitMs;
}

std::wstring CTransferManager::DataFolder() const {
    return dataFolder_.empty() ? GetUserDataFolder() : dataFolder_;
}

HRESULT CTransferManager::Stop() {
    // Quitting does not wait for the rest of a large file.
    StopWrites();
    DeleteCapability();
    if (deviceThread_ != nullptr) {
        PostThreadMessageW(deviceThreadId_, WM_QUIT, 0, 0);
        WaitForSingleObject(deviceThread_, INFINITE);
        CloseHandle(deviceThread_);
        deviceThread_ = nullptr;
        deviceThreadId_ = 0;
    }
    return S_OK;
}

void CTransferManager::Reset() {
    // The content in work ends first: a stop meant for it holds, and its disk-full error belongs
    // to the run that ends. A new run starts without that state.
    while (IsBusy()) Sleep(10);
    diskFull_ = false;
    mtp_->SetTransferring(true);
    massStorage_->SetTransferring(true);
    CRunnableTNContentHandler::Reset();
}

void CTransferManager::StopWrites() {
    Cancel();
    mtp_->SetTransferring(false);
    massStorage_->SetTransferring(false);
}

void CTransferManager::OnThreadStart() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

void CTransferManager::OnThreadEnd() {
    CoUninitialize();
}

HANDLE CTransferManager::StartThread(unsigned(__stdcall* entry)(void*)) {
    return reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, entry, this, 0, nullptr));
}

void CTransferManager::DeleteCapability() {
    CScopedLock lock(deviceLock_);
    delete capability_;
    capability_ = nullptr;
}

uint64_t CTransferManager::GetFreeSpace() {
    return activeType_ != kNoController ? active_->GetFreeSpace() : 0;
}

uint64_t CTransferManager::GetTotalSpace() {
    return activeType_ != kNoController ? active_->GetTotalSpace() : 0;
}

std::wstring CTransferManager::GetVolumeInfo() {
    return activeType_ != kNoController ? active_->GetVolumeLabel() : std::wstring();
}

bool CTransferManager::HasFeedPlayback(bool* hasFeeds) {
    CScopedLock lock(deviceLock_);
    if (capability_ == nullptr || hasFeeds == nullptr) return false;
    *hasFeeds = capability_->HasAnyFeedFormat();
    return true;
}

bool CTransferManager::GetCapabilityExtensions(std::vector<std::wstring>& extensions, int type,
                                               int feedFilter) {
    CScopedLock lock(deviceLock_);
    return capability_ != nullptr && capability_->GetExtensions(extensions, type, feedFilter) == 0;
}

bool CTransferManager::HasCapability() {
    CScopedLock lock(deviceLock_);
    return capability_ != nullptr;
}

bool CTransferManager::IsCapabilityExtensionPlayable(const std::wstring& extension, int type, int filter) {
    CScopedLock lock(deviceLock_);
    return capability_ != nullptr && capability_->IsExtensionPlayable(extension, type, filter);
}

bool CTransferManager::GetCapabilityBool(int property, bool defaultValue) {
    CScopedLock lock(deviceLock_);
    return capability_ != nullptr ? capability_->GetPropertyBool(property, defaultValue) : defaultValue;
}

bool CTransferManager::FindPlaybackCapability(std::unique_ptr<CTNDevCapability::CPlaybackCapability>& record,
                                              const std::wstring& extension, int type, int index, int filter) {
    CScopedLock lock(deviceLock_);
    return capability_ != nullptr && capability_->GetPlaybackCapability(record, extension, type, index, filter) == 0;
}

bool CTransferManager::FindPlaybackCapabilityFor(std::unique_ptr<CTNDevCapability::CPlaybackCapability>& record,
                                                 const std::wstring& extension, int type, int filter) {
    CScopedLock lock(deviceLock_);
    return capability_ != nullptr && capability_->GetPlaybackCapabilityFor(record, extension, type, filter) == 0;
}

void CTransferManager::GetFolderStates(bool* musicEmpty, bool* movieEmpty, bool* podcastEmpty) {
    *musicEmpty = *movieEmpty = *podcastEmpty = false;
    if (activeType_ != kNoController) active_->GetFolderStates(musicEmpty, movieEmpty, podcastEmpty);
}

bool CTransferManager::GetCapabilityFolder(std::wstring* folder, int folderType) {
    CScopedLock lock(deviceLock_);
    return capability_ != nullptr && folder != nullptr &&
           capability_->GetFolderPath(*folder, folderType) == 0;
}

bool CTransferManager::GetCapabilityDepth(int* depth, int folderType) {
    CScopedLock lock(deviceLock_);
    return capability_ != nullptr && depth != nullptr &&
           capability_->GetFolderDepth(*depth, folderType) == 0;
}

void CTransferManager::OnContentsEnumerated(uint64_t folder0, uint64_t folder1, uint64_t folder2,
                                            uint64_t folder3, uint64_t folder4Files,
                                            uint64_t freeBytes, uint64_t capacity) {
    if (listener_ != nullptr) {
        listener_->OnDeviceContents(folder0, folder1, folder2, folder3, folder4Files, freeBytes,
                                    capacity);
    }
}

void CTransferManager::OnFolderTree(CQBTreeNode* root) {
    if (listener_ == nullptr) return;
    reportedTree_ = root;
    listener_->OnFolderTree(root != nullptr ? 0 : -1, root);
}

void CTransferManager::OnWriteProgress(uint32_t bytesWritten, uint32_t bytesTotal) {
    if (listener_ != nullptr) listener_->OnWriteProgress(bytesWritten, bytesTotal);
}

void CTransferManager::OnMoodChannelStep(const wchar_t* localDestination) {
    if (listener_ != nullptr) listener_->OnMoodChannelStep(localDestination);
}

void CTransferManager::OnMoodChannelDone(const wchar_t* localDestination) {
    if (listener_ != nullptr) listener_->OnMoodChannelDone(localDestination);
}
