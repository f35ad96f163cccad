// What the coordinator does with the stages' reports and the main window's actions.
#include "app/coordinator/QBCommonManager.h"

#include "app/coordinator/AutomationEventText.h"
#include "app/coordinator/QBCommonManagerInternal.h"
#include "library/device/QBTreeNode.h"
#include "library/util/SettingNames.h"
#include "library/util/Settings.h"
#include "library/util/UIModeFile.h"

using namespace coordinator;

void CQBCommonManager::CheckEndOfTransfer() {
    if (frame_ != nullptr) frame_->RefreshStatusText(transfer_.GetFreeSpace());
    const int32_t accepted = contents_.GetAnnouncedCount();
    const int32_t finished = static_cast<int32_t>(transfer_.GetTotalCount());
    // Never report more files done than accepted.
    const int32_t current = finished + 1 < accepted ? finished + 1 : accepted;
    if (finished < accepted) {
        if (frame_ != nullptr) frame_->SetDoneCount(finished);
        HANDLE step = transfer_.StepEvent();
        if (step != nullptr && WaitForSingleObject(step, 0) == WAIT_OBJECT_0) {
            PostText(IAutomationEvents::kUpdateFileNum, FileNumEventText(current, accepted));
        }
        return;
    }
    if (finished > accepted) {
        // Something finished that no run announced: a stale count, not the end of a run.
        if (accepted == 0) ResetStageCounters();
        return;
    }
    if (frame_ != nullptr) frame_->AddDoneCount();
    PostText(IAutomationEvents::kUpdateFileNum, FileNumEventText(current, accepted));
    const bool reported = OnRunFinished();
    if (transfer_.IsDiskFull() && resourceModule_ != nullptr) {
        ShowWarning(118);
        transfer_.ClearDiskFull();
    }
    PostEvent(IAutomationEvents::kEnd);
    if (frame_ != nullptr) {
        ResetEvent(frame_->RunEvent());
        frame_->UpdateProgress(0);
        frame_->ResetProgress(reported);
        frame_->RefreshStatusText(transfer_.GetFreeSpace());
        frame_->RefreshProgressChild();
    }
    ResetStageCounters();
    if (frame_ != nullptr) {
        frame_->SetDoneCount(0);
        frame_->SetAcceptedCount(0);
    }
}

void CQBCommonManager::OpenRun(RunOpening opening, const RunRequest& request) {
    if (frame_ != nullptr) {
        if (frame_->GetState() != 1) PostEvent(IAutomationEvents::kStart);
        frame_->UpdateProgress(1);
    }
    if (opening == kOpenSync) {
        SetFrameBusy(0);
        contents_.StartFolderScan();
        return;
    }
    // A batch in work keeps going; only an enumeration gives way (waiting at most 300 ms).
    if (transfer_.StepEvent() != nullptr) transfer_.AbortEnumeration();
    if (opening == kOpenDrop) {
        contents_.HandleDrop(request.data);
    } else {
        contents_.AddTransferRequest(request.fileType, request.value, request.basePathLength);
    }
}

// CContentsManager::IListener

void CQBCommonManager::OnContentsProgress() {
    const int32_t accepted = contents_.GetAnnouncedCount();
    const int32_t finished = static_cast<int32_t>(transfer_.GetTotalCount());
    if (frame_ != nullptr) frame_->SetAcceptedCount(accepted);
    const int32_t current = finished + 1 < accepted ? finished + 1 : accepted;
    PostText(IAutomationEvents::kUpdateFileNum, FileNumEventText(current, accepted));
}

void CQBCommonManager::OnPodcastCaution() {
    DWORD value = 0;
    if (ReadSetting(settings::kPodcastCaution, &value) && value == 1) return;
    SendToFrame(kPodcastCautionMessage, 0, 0);
}

void CQBCommonManager::OnSyncFileAdded(int32_t listKind, std::wstring path) {
    AppendSyncFile(listKind, path);
}

int32_t CQBCommonManager::OnMovieCaution() {
    return static_cast<int32_t>(SendToFrame(kMovieCautionMessage, 0, 0));
}

// CMovieConvertManager::IListener

void CQBCommonManager::OnConvertStart(std::wstring fileName) {
    PostText(IAutomationEvents::kProgress, ProgressEventText(kStageConversion, fileName, 0, FreeSpaceKib()));
    if (frame_ != nullptr) frame_->SetConversionText(fileName, 0);
}

void CQBCommonManager::OnConvertProgress(std::wstring fileName, int32_t percent) {
    const int32_t clamped = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    PostText(IAutomationEvents::kProgress, ProgressEventText(kStageConversion, fileName, clamped, FreeSpaceKib()));
    if (frame_ != nullptr) frame_->SetConversionText(fileName, clamped);
}

void CQBCommonManager::OnConvertEnd(std::wstring fileName) {
    PostText(IAutomationEvents::kProgress, ProgressEventText(kStageConversion, fileName, 100, FreeSpaceKib()));
    if (frame_ != nullptr) frame_->SetConversionText(std::wstring(), -1);
}

// CAnalysisManager::IListener

void CQBCommonManager::OnAnalysisProgress(int state, int, int, bool) {
    if (state != 0 && state != 1) return;
    PostText(IAutomationEvents::kProgress,
             ProgressEventText(kStageAnalysis, std::wstring(), state == 0 ? 0 : 100, FreeSpaceKib()));
    if (frame_ != nullptr) frame_->SetAnalysisText(state == 0);
}

// CCDDBManager::IListener

void CQBCommonManager::OnLookupProgress(int32_t state, bool, int32_t) {
    if (frame_ == nullptr) return;
    if (state == 0) {
        bool first = false;
        {
            CScopedLock lock(lock_);
            first = !lookupTimerStarted_;
            lookupTimerStarted_ = true;
        }
        if (first) {
            frame_->StartLookupTimer();
        } else {
            frame_->SetLookupText(std::wstring());
        }
        PostText(IAutomationEvents::kProgress, ProgressEventText(kStageLookup, std::wstring(), 0, FreeSpaceKib()));
    } else if (state == 1) {
        frame_->ClearStageText();
        PostText(IAutomationEvents::kProgress, ProgressEventText(kStageLookup, std::wstring(), 100, FreeSpaceKib()));
    }
}

// CTransferManager::IListener

void CQBCommonManager::OnContentProcessed() {
    CheckEndOfTransfer();
}

void CQBCommonManager::OnDeviceContents(uint64_t music, uint64_t images, uint64_t movies, uint64_t podcasts,
                                        uint64_t otherFiles, uint64_t freeBytes, uint64_t capacity) {
    if (music == 0) ClearSyncFileList(0);
    if (movies == 0) ClearSyncFileList(2);
    if (podcasts == 0) ClearSyncFileList(3);
    if (frame_ != nullptr) {
        IMainFrameView::FreeSpace space;
        space.musicBytes = music;
        space.imageBytes = images;
        space.movieBytes = movies;
        space.podcastBytes = podcasts;
        space.otherFiles = otherFiles;
        space.freeBytes = freeBytes;
        space.totalBytes = capacity;
        frame_->UpdateFreeSpace(space);
    }
    // What no kind accounts for; a player that reports more in use than its capacity gets 0, not
    // a wrapped-around figure.
    const uint64_t used = capacity > freeBytes ? capacity - freeBytes : 0;
    uint64_t known = music;
    for (uint64_t part : {images, movies, podcasts}) known = known + part < known ? UINT64_MAX : known + part;
    const uint64_t other = used > known ? used - known : 0;
    std::vector<std::wstring> fields;
    for (uint64_t bytes : {music, images, movies, podcasts, other, freeBytes, capacity}) {
        fields.push_back(std::to_wstring(KibRoundedUp(bytes)));
    }
    PostText(IAutomationEvents::kUpdateFreeSpace, JoinEventFields(fields));
}

void CQBCommonManager::OnContentDeleted(int) {
    if (dialogs_ != nullptr) dialogs_->OnContentDeleted();
}

void CQBCommonManager::OnDeleteFinished(int, CQBTreeNode* root) {
    if (dialogs_ == nullptr) {
        delete root;
        return;
    }
    dialogs_->OnDeleteFinished(root, transfer_.GetFreeSpace());
}

void CQBCommonManager::OnFolderTree(int, CQBTreeNode* root) {
    if (dialogs_ == nullptr) {
        delete root;
        return;
    }
    dialogs_->OnFolderTree(root);
}

void CQBCommonManager::OnDiskFull() {
    if (frame_ != nullptr) SetEvent(frame_->StopEvent());
    const bool reported = CancelRun(true);
    if (frame_ != nullptr) {
        frame_->ResetProgress(reported);
        frame_->RefreshStatusText(transfer_.GetFreeSpace());
    }
    SetFrameBusy(0);
    ShowWarning(174);
    SetFrameBusy(1);
    transfer_.ClearDiskFull();
}

void CQBCommonManager::OnWriteProgress(uint32_t done, uint32_t total) {
    const int32_t percent = done == 0 && total != 0 ? 0 : PercentDone(done, total);
    PostText(IAutomationEvents::kProgress, ProgressEventText(kStageTransfer, std::wstring(), percent, FreeSpaceKib()));
    if (frame_ != nullptr) frame_->SetTransferProgress(done, total);
}

void CQBCommonManager::OnContentResult(int listKind, std::wstring sourcePath) {
    AppendSyncFile(listKind, sourcePath);
}

void CQBCommonManager::OnMoodChannelStep(const wchar_t*) {}

void CQBCommonManager::OnMoodChannelDone(const wchar_t*) {}

void CQBCommonManager::OnDeviceWarning() {
    SendToFrame(kMessageBoxMessage, 274, kWarningBoxFlags);
}

// IMainFrameListener

void CQBCommonManager::OnDrop(IDataObject* data) {
    RunRequest request;
    request.data = data;
    OpenRun(kOpenDrop, request);
}

void CQBCommonManager::OnCancel(int32_t endReport) {
    const bool reported = CancelRun(endReport != 0);
    if (frame_ != nullptr) {
        frame_->ResetProgress(reported);
        frame_->RefreshStatusText(transfer_.GetFreeSpace());
        frame_->RefreshProgressChild();
        frame_->SetDoneCount(0);
        frame_->SetAcceptedCount(0);
    }
}

void CQBCommonManager::OnSettingsChanged() {
    ApplyAnalysisMode();
    if (transfer_.HasCapability()) SetMovieOutputSize();
    const int uiMode = ReadUIMode();
    lookupGroup_.SetOptionB(uiMode == 1 || uiMode == 2 ? IsCoverArtWanted() : false);
}

void CQBCommonManager::OnRefreshDevice() {
    transfer_.RequestEnumeration();
}

void CQBCommonManager::OnStartSync() {
    OpenRun(kOpenSync, RunRequest());
}
