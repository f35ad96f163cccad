// The coordinator's object, its start and stop, and the operations the contents manager calls.
#include "app/coordinator/QBCommonManager.h"

#include "app/coordinator/AutomationEventText.h"
#include "app/coordinator/QBCommonManagerInternal.h"
#include "library/itunes/SushiController.h"
#include "library/util/SettingNames.h"
#include "library/util/Settings.h"
#include "library/util/UIModeFile.h"

using namespace coordinator;

CQBCommonManager::CQBCommonManager() : CQBCommonManager(Options()) {}

CQBCommonManager::CQBCommonManager(Options options)
    : dataInsert_(options.dataFolder),
      transfer_(options.controllers != nullptr ? CTransferManager(*options.controllers) : CTransferManager()),
      lookupGroup_(options.lookupFolders),
      movieConvert_(options.converter ? CMovieConvertManager(std::move(options.converter))
                                      : CMovieConvertManager()) {
    contents_.SetCoordinator(this);
    contents_.SetITunesClientFactory(&CSushiController::Create);
    if (!options.dataFolder.empty()) {
        contents_.SetDataFolder(options.dataFolder);
        transfer_.SetDataFolder(options.dataFolder);
    }
}

CQBCommonManager::~CQBCommonManager() {
    ITNContentHandler* chain[] = {&contents_, &movieConvert_, &checker_,  &lookupGroup_,
                                  &analysisGroup_, &dataInsert_, &transfer_};
    for (ITNContentHandler* stage : chain) stage->SetNext(nullptr);
    Shutdown();
}

HRESULT CQBCommonManager::Initialize() {
    HRESULT hr = CThreadBase::Start();
    if (FAILED(hr)) return hr;
    lifecycleLog_.push_back(L"start coordinator");

    const int uiMode = ReadUIMode();
    hr = lookupGroup_.AddManager(uiMode != 0);
    if (FAILED(hr)) return hr;
    if (uiMode == 1 || uiMode == 2) lookupGroup_.SetOptionB(IsCoverArtWanted());
    hr = analysisGroup_.AddManager();
    if (FAILED(hr)) return hr;
    transfer_.SetCarAudioAllowed(uiMode);

    contents_.SetNext(&movieConvert_);
    movieConvert_.SetNext(&checker_);
    checker_.SetNext(&lookupGroup_);
    lookupGroup_.SetNext(&analysisGroup_);
    analysisGroup_.SetNext(&dataInsert_);
    dataInsert_.SetNext(&transfer_);
    transfer_.SetNext(nullptr);

    transfer_.StartDeviceThread();

    // From the end of the chain to its head: no stage hands on to one that is not running.
    struct Step {
        const wchar_t* name;
        ITNContentHandler* stage;
    };
    transfer_.SetListener(this);
    analysisGroup_.SetListener(this);
    lookupGroup_.SetListener(this);
    movieConvert_.SetListener(this);
    contents_.SetListener(this);
    const Step steps[] = {{L"transfer", &transfer_},         {L"data insert", &dataInsert_},
                          {L"analysis", &analysisGroup_},    {L"lookup", &lookupGroup_},
                          {L"checker", &checker_},           {L"movie conversion", &movieConvert_},
                          {L"contents", &contents_}};
    for (const Step& step : steps) {
        hr = step.stage->Start();
        if (FAILED(hr)) return hr;
        lifecycleLog_.push_back(std::wstring(L"start ") + step.name);
    }

    if (events_ != nullptr) events_->PublishEntryPoint(this);
    lifecycleLog_.push_back(L"publish entry point");
    initialized_ = true;
    return S_OK;
}

void CQBCommonManager::Shutdown() {
    if (frame_ != nullptr) SetEvent(frame_->StopEvent());
    // A large write in work would otherwise hold every later step until its last byte.
    transfer_.CancelTransfer();
    CancelRun(false);
    if (events_ != nullptr) events_->PublishEntryPoint(nullptr);
    transfer_.ShutdownDevices();
    struct Step {
        const wchar_t* name;
        ITNContentHandler* stage;
    };
    const Step steps[] = {{L"contents", &contents_},        {L"transfer", &transfer_},
                          {L"data insert", &dataInsert_},   {L"analysis", &analysisGroup_},
                          {L"lookup", &lookupGroup_},       {L"checker", &checker_},
                          {L"movie conversion", &movieConvert_}};
    for (const Step& step : steps) {
        step.stage->Stop();
        if (initialized_) lifecycleLog_.push_back(std::wstring(L"stop ") + step.name);
    }
    WaitDialogThreads();
    CThreadBase::Stop();
    if (initialized_) lifecycleLog_.push_back(L"stop coordinator");
    initialized_ = false;
}

bool CQBCommonManager::IsCoverArtWanted() {
    DWORD value = 1;
    return !ReadSetting(settings::kGNCoverArt, &value) || value == 1;
}

void CQBCommonManager::PostEvent(IAutomationEvents::Kind kind) {
    if (events_ != nullptr) events_->Post(kind);
}

void CQBCommonManager::PostText(IAutomationEvents::Kind kind, const std::wstring& text) {
    if (events_ != nullptr) events_->PostText(kind, text);
}

void CQBCommonManager::PostInt(IAutomationEvents::Kind kind, int32_t value) {
    if (events_ != nullptr) events_->PostInt(kind, value);
}

LRESULT CQBCommonManager::SendToFrame(UINT message, WPARAM wParam, LPARAM lParam) {
    if (frame_ == nullptr || frame_->Window() == nullptr) return 0;
    return SendMessageW(frame_->Window(), message, wParam, lParam);
}

void CQBCommonManager::ShowWarning(UINT stringId) {
    if (resourceModule_ == nullptr) return;
    SendToFrame(kMessageBoxMessage, stringId, kWarningBoxFlags);
}

int32_t CQBCommonManager::FreeSpaceKib() {
    return KibRoundedUp(transfer_.GetFreeSpace());
}

// A write reports every 64 KiB, and asking a drive for its free space costs about as much as
// writing those 64 KiB (a run of songs took four times as long): the player is asked as each file
// starts, and meanwhile its free space goes down by what the file took.
int32_t CQBCommonManager::FreeSpaceKibDuringWrite(uint32_t written) {
    if (written == 0) freeAtWriteStart_ = transfer_.GetFreeSpace();
    const uint64_t atStart = freeAtWriteStart_;
    return KibRoundedUp(atStart > written ? atStart - written : 0);
}

void CQBCommonManager::ResetStageCounters() {
    contents_.SetAnnouncedCount(0);
    contents_.ResetTotalCount();
    movieConvert_.ResetTotalCount();
    checker_.ResetTotalCount();
    analysisGroup_.ResetTotalCounts();
    lookupGroup_.ResetTotalCounts();
    dataInsert_.ResetTotalCount();
    transfer_.ResetTotalCount();
}

// CQBCommonManagerBase

void CQBCommonManager::UpdateProgress(int32_t value) {
    if (frame_ != nullptr) frame_->UpdateProgress(value);
}

void CQBCommonManager::NotifyItemDone() {
    transfer_.CountFinishedElsewhere();
    CheckEndOfTransfer();
}

void CQBCommonManager::CheckTransferFinished() {
    CheckEndOfTransfer();
}

void CQBCommonManager::OnAnalysisNotice(CTNContent* content) {
    // Only songs that read well: audio media codes, WAV (5) aside.
    if (content == nullptr || content->status != 0 || content->fileType > 10 || content->fileType == 5) return;
    DWORD asked = 0;
    if (ReadSetting(settings::kRavelinMessage, &asked) && asked == 1) return;
    DWORD mode = 2;
    ReadSetting(settings::kAnalysisMode, &mode);
    if (mode != 2 || !IsRavelinSupported() || frame_ == nullptr || transfer_.GetMode() != 0) return;
    SendToFrame(kAnalysisQuestionMessage, 0, 0);
    WriteSettingDword(settings::kRavelinMessage, 1);
}

void CQBCommonManager::NotifyEnd() {
    if (frame_ != nullptr && frame_->GetState() == 1) PostEvent(IAutomationEvents::kEnd);
}

void CQBCommonManager::SetFrameBusy(int32_t busy) {
    if (frame_ != nullptr) frame_->SetBusyFlags(busy);
}

bool CQBCommonManager::DeviceRequest(CTNContent* content, std::wstring* existingPath) {
    if (content == nullptr) return false;
    const bool exists = transfer_.ExistsOnDevice(content);
    if (exists && existingPath != nullptr) *existingPath = transfer_.BuildDestinationPath(content);
    return exists;
}

bool CQBCommonManager::IsBusy() {
    return contents_.GetAnnouncedCount() != 0 || contents_.GetTotalCount() != 0 ||
           movieConvert_.GetTotalCount() != 0 || checker_.GetTotalCount() != 0 ||
           analysisGroup_.GetTotalCount() != 0 || lookupGroup_.GetTotalCount() != 0 ||
           dataInsert_.GetTotalCount() != 0 || transfer_.GetTotalCount() != 0;
}

bool CQBCommonManager::GetSyncSwitch(int kind) {
    CScopedLock lock(lock_);
    return kind >= 0 && kind < kKindCount && kinds_[kind];
}

bool CQBCommonManager::FindPlaybackCapability(std::unique_ptr<CTNDevCapability::CPlaybackCapability>& record,
                                              const std::wstring& extension, int type, int index, int filter) {
    return transfer_.FindPlaybackCapability(record, extension, type, index, filter);
}

bool CQBCommonManager::FindPlaybackCapabilityFor(std::unique_ptr<CTNDevCapability::CPlaybackCapability>& record,
                                                 const std::wstring& extension, int type, int filter) {
    return transfer_.FindPlaybackCapabilityFor(record, extension, type, filter);
}

int32_t CQBCommonManager::GetFrameLayout(const std::wstring& path, int32_t* width, int32_t* height) {
    return frame_ != nullptr ? frame_->GetFrameLayout(path, width, height) : 0;
}

// Sync file lists.

void CQBCommonManager::GetSyncFileList(int kind, std::vector<std::wstring>* list) {
    if (list == nullptr) return;
    CScopedLock lock(lock_);
    list->clear();
    syncLists_->ReadSyncFileList(kind, list);
}

void CQBCommonManager::AppendSyncFile(int32_t kind, const std::wstring& path) {
    CScopedLock lock(lock_);
    syncLists_->AppendSyncFileListLine(kind, path);
}

void CQBCommonManager::ClearSyncFileList(int32_t kind) {
    CScopedLock lock(lock_);
    syncLists_->ResetSyncFileList(kind);
}
