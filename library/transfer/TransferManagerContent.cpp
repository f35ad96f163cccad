// The processing of contents: destination, the write to the player, result lists and reports.
#include "library/transfer/TransferManager.h"

#include <objbase.h>

#include <algorithm>

#include "library/capability/DevCapability.h"

namespace {
// The Windows Media format and rights errors.
bool IsMediaFormatError(HRESULT hr) {
    const uint32_t code = static_cast<uint32_t>(hr);
    return code >= 0xC00D2710u && code <= 0xC00D2AF7u;
}

// The type of the companion file of a video.
constexpr uint32_t kCompanionFileType = 15;
}  // namespace

void CTransferManager::AddContent(CTNContent* content) {
    if (content == nullptr) return;
    // The next stage may delete the record as soon as it has it.
    const uint32_t kind = content->kind;
    CTNContentHandler::AddContent(content);
    if (kind == CTNContent::kVideoCompanion) UncountFromTotal();
    if (listener_ == nullptr) return;
    if (!diskFull_) {
        if (IsAccepting()) listener_->OnContentProcessed();
    } else {
        listener_->OnDiskFull();
    }
}

std::wstring CTransferManager::BuildDestinationPath(const CTNContent* content) const {
    if (content == nullptr) return std::wstring();
    bool listsFeeds = false;
    {
        CScopedLock lock(deviceLock_);
        listsFeeds = capability_ != nullptr && capability_->HasAnyFeedFormat();
    }
    const std::wstring* folder = nullptr;
    switch (content->kind) {
        case CTNContent::kSong: folder = &folders_[kSoundFolder]; break;
        case CTNContent::kAudioEpisode:
            folder = listsFeeds ? &folders_[kFeedSoundFolder] : &folders_[kSoundFolder];
            break;
        case CTNContent::kPicture: folder = &folders_[kImageFolder]; break;
        case CTNContent::kVideo: folder = &folders_[kVideoFolder]; break;
        case CTNContent::kVideoEpisode:
            folder = listsFeeds ? &folders_[kFeedVideoFolder] : &folders_[kVideoFolder];
            break;
        case CTNContent::kVideoCompanion: folder = &folders_[kVideoFolder]; break;
        case CTNContent::kFeedFile: folder = &folders_[kFeedsFolder]; break;
        default: return std::wstring();
    }
    return *folder + content->relativePath;
}

bool CTransferManager::ExistsOnDevice(const CTNContent* content, std::wstring* found) {
    if (activeType_ == kNoController) return false;
    std::wstring full;
    if (!active_->FileExists(BuildDestinationPath(content), &full)) return false;
    if (found != nullptr) *found = full;
    return true;
}

void CTransferManager::ProcessContent(CTNContent* content) {
    if (!IsAccepting() || content == nullptr || content->skip) {
        ForwardCurrent();
        return;
    }
    if (content->kind == CTNContent::kPlaylist) {
        if (activeType_ != kNoController) active_->WritePlaylist(content);
        ForwardCurrent();
        return;
    }
    const std::wstring destination = BuildDestinationPath(content);
    // Written on this thread, which lives in COM for the MTP write: a worker handed each content
    // and waited for costs two thread wake-ups per file, a quarter more time over a full player.
    const HRESULT hr = WriteToPlayer(content, destination);

    if (hr == kDiskFull) {
        diskFull_ = true;
    } else if (FAILED(hr)) {
        {
            CScopedLock lock(resultLock_);
            if (IsMediaFormatError(hr) || content->unsupported) {
                unsupportedList_.push_back(destination);
            } else {
                failedList_.push_back(destination);
            }
        }
        // Outside the lock: the coordinator forwards this to the window, whose thread may be
        // reading the lists right then.
        NotifyContentResult(content);
    } else if (hr == S_OK) {
        if (content->kind == CTNContent::kAudioEpisode || content->kind == CTNContent::kVideoEpisode) {
            bool listsFeeds = true;
            {
                CScopedLock lock(deviceLock_);
                if (capability_ != nullptr) listsFeeds = capability_->HasAnyFeedFormat();
            }
            if (!listsFeeds) {
                CScopedLock lock(resultLock_);
                (content->kind == CTNContent::kAudioEpisode ? unlistedKind1List_ : unlistedKind4List_)
                    .push_back(destination);
            }
        }
        NotifyContentResult(content);
        MeasureDepth(content, destination);
    }
    if (!content->tempPath.empty()) DeleteFileW(content->tempPath.c_str());
    ForwardCurrent();
}

void CTransferManager::MeasureDepth(const CTNContent* content, const std::wstring& destination) {
    if (tooDeep_) return;
    int32_t limit = depthLimits_[kFixedDepth];
    switch (content->kind) {
        case CTNContent::kSong:
        case CTNContent::kAudioEpisode: limit = depthLimits_[kSoundDepth]; break;
        case CTNContent::kPicture: limit = depthLimits_[kImageDepth]; break;
        case CTNContent::kVideo:
        case CTNContent::kVideoEpisode: limit = depthLimits_[kVideoDepth]; break;
        default: break;
    }
    const long depth = static_cast<long>(std::count(destination.begin(), destination.end(), L'\\')) - 1;
    if (depth > limit) tooDeep_ = true;
}

void CTransferManager::NotifyContentResult(const CTNContent* content) {
    if (content->syncKind == 0 || listener_ == nullptr) return;
    int listKind = 0;
    if (content->syncKind == 2) listKind = 2;
    if (content->syncKind == 3) listKind = 3;
    listener_->OnContentResult(listKind, content->sourcePath);
}

HRESULT CTransferManager::WriteToPlayer(CTNContent* content, const std::wstring& destination) {
    if (activeType_ == kNoController) return E_FAIL;
    // A deliberate skip: the source is only to be removed, the player keeps its copy.
    const bool skipWrite = content->deleteSource && !content->replaceExisting;
    HRESULT hr = S_OK;
    if (!skipWrite) {
        // A content without a destination would reach the player as a nameless file or object.
        hr = destination.empty() ? E_FAIL : active_->WriteContent(destination, content);
    }

    if (hr == S_OK && !skipWrite && content->kind == CTNContent::kVideo &&
        !content->companionSourcePath.empty() && !content->companionRelativePath.empty()) {
        CTNContent companion(1, CTNContent::kVideoCompanion);
        companion.sourcePath = content->companionSourcePath;
        companion.tempPath = content->companionSourcePath;
        companion.relativePath = content->companionRelativePath;
        companion.fileType = kCompanionFileType;
        active_->WriteContent(BuildDestinationPath(&companion), &companion);
        DeleteFileW(content->companionSourcePath.c_str());
    }
    if (hr == S_OK && mode_ == kCarAudioUnit && songWrittenHook_ != nullptr &&
        (content->kind == CTNContent::kSong || content->kind == CTNContent::kAudioEpisode) &&
        (content->fileType <= 2 || content->fileType == 4)) {
        songWrittenHook_->OnCarAudioSongWritten(content, destination, active_, DataFolder());
    }
    // The user's file goes only once the player holds it (or was deliberately left as it is).
    if (content->deleteSource && hr == S_OK) DeleteFileW(content->sourcePath.c_str());
    return hr;
}

void CTransferManager::CancelTransfer() {
    Cancel();
    // The flag stays cleared until Reset: a write that had not started yet when the cancel came
    // is stopped as well as the one in work.
    if (activeType_ != kNoController) {
        active_->SetTransferring(false);
        active_->ClearPending();
    }
}

std::vector<std::wstring> CTransferManager::GetFailedList() {
    CScopedLock lock(resultLock_);
    return failedList_;
}

void CTransferManager::ClearFailedList() {
    CScopedLock lock(resultLock_);
    failedList_.clear();
}

std::vector<std::wstring> CTransferManager::GetUnsupportedList() {
    CScopedLock lock(resultLock_);
    return unsupportedList_;
}

void CTransferManager::ClearUnsupportedList() {
    CScopedLock lock(resultLock_);
    unsupportedList_.clear();
}

std::vector<std::wstring> CTransferManager::GetUnlistedKind1List() {
    CScopedLock lock(resultLock_);
    return unlistedKind1List_;
}

void CTransferManager::ClearUnlistedKind1List() {
    CScopedLock lock(resultLock_);
    unlistedKind1List_.clear();
}

std::vector<std::wstring> CTransferManager::GetUnlistedKind4List() {
    CScopedLock lock(resultLock_);
    return unlistedKind4List_;
}

void CTransferManager::ClearUnlistedKind4List() {
    CScopedLock lock(resultLock_);
    unlistedKind4List_.clear();
}
