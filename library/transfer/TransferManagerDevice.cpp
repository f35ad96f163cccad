// Finding the player, reading its capability and setting up its folders.
#include "library/transfer/TransferManager.h"

#include <new>

#include "library/capability/DefaultCapabilityXml.h"
#include "library/capability/DevCapability.h"
#include "library/capability/DeviceCapabilityParser.h"
#include "library/mood/MoodChannelExport.h"
#include "library/util/FileSystem.h"
#include "library/util/Settings.h"
#include "library/util/TextConversion.h"

namespace {
const wchar_t kPlaylistFolderName[] = L"Playlists";
const wchar_t kCarAudioFolderName[] = L"Tavrel_Automotive";
constexpr int kCapabilitySizePolls = 10;
constexpr int kCapabilityReads = 11;
constexpr int32_t kDefaultDepth = 2;
}  // namespace

int CTransferManager::SelectController() {
    const int m = mtp_->FindDevice();
    const int s = massStorage_->FindDevice();
    const int32_t last = activeType_;
    int32_t choose = kNoController;
    int state = kStateKeptOthersPresent;
    switch (m) {
        case CDeviceControllerBase::kDeviceFound:
            if (s == CDeviceControllerBase::kDeviceReplaced) {
                choose = kMtpController;
                state = kStateChanged;
            } else if (s != CDeviceControllerBase::kDeviceKeptOthersPresent &&
                       s != CDeviceControllerBase::kDeviceKept) {
                choose = kMtpController;
                state = kStateFound;
            }
            break;
        case CDeviceControllerBase::kDeviceReplaced:
            choose = kMtpController;
            state = kStateChanged;
            break;
        case CDeviceControllerBase::kDeviceKeptOthersPresent:
            break;
        case CDeviceControllerBase::kDeviceKept:
            if (s == CDeviceControllerBase::kDeviceKept) {
                state = kStateKept;
            } else if (s < CDeviceControllerBase::kDeviceFound || s > CDeviceControllerBase::kDeviceKept) {
                if (last == kMscController) {
                    choose = kMtpController;
                    state = kStateChanged;
                } else {
                    state = kStateKept;
                }
            }
            break;
        default:
            switch (s) {
                case CDeviceControllerBase::kDeviceFound:
                    choose = kMscController;
                    state = kStateFound;
                    break;
                case CDeviceControllerBase::kDeviceReplaced:
                    choose = kMscController;
                    state = kStateChanged;
                    break;
                case CDeviceControllerBase::kDeviceKeptOthersPresent:
                case CDeviceControllerBase::kDeviceKept:
                    if (last == kMtpController) {
                        choose = kMscController;
                        state = kStateChanged;
                    } else {
                        state = s == CDeviceControllerBase::kDeviceKept ? kStateKept
                                                                        : kStateKeptOthersPresent;
                    }
                    break;
                default:
                    state = kStateNoPlayer;
                    ClearActive();
                    break;
            }
            break;
    }
    if (choose != kNoController) MakeActive(choose);

    const bool warned = takeCarAudioWarning_ ? takeCarAudioWarning_() : false;
    if (carAudioAllowed_ == 0 && (state == kStateNoPlayer || state == kStateKept) && warned &&
        listener_ != nullptr) {
        listener_->OnDeviceWarning();
    }
    return state;
}

void CTransferManager::MakeActive(int32_t type) {
    active_ = type == kMtpController ? mtp_ : massStorage_;
    activeType_ = type;
    std::wstring id = active_->GetDeviceId();
    ReplaceReservedChars(&id);
    SetCurrentDevId(id);
}

void CTransferManager::ClearActive() {
    activeType_ = kNoController;
    SetCurrentDevId(std::wstring());
}

void CTransferManager::DropPlayer() {
    mode_ = kNoUsablePlayer;
    DeleteCapability();
    if (activeType_ != kNoController) active_->ClearDeviceId();
    ClearActive();
}

void CTransferManager::CleanCarAudioWorkFiles() {
    DeleteCachedFiles(DataFolder() + kCarAudioFolderName, false, true);
}

int CTransferManager::CheckDevice(bool* hasCapabilityFile) {
    bool ownFlag = false;
    bool& hasFile = hasCapabilityFile != nullptr ? *hasCapabilityFile : ownFlag;
    const int state = SelectController();
    if (state == kStateNoPlayer) {
        AbortEnumeration();
        DeleteCapability();
        EndMoodChannelExport();
        mode_ = kNoUsablePlayer;
        CleanCarAudioWorkFiles();
        return kStateNoPlayer;
    }
    if (state != kStateFound && state != kStateChanged) return state;

    AbortEnumeration();
    hasFile = active_->HasCapabilityFile();
    mode_ = kOrdinaryPlayer;
    // A new player starts clean: no disk-full state and none of the last player's folders.
    diskFull_ = false;
    for (std::wstring& folder : folders_) folder.clear();
    std::wstring markerPath;
    if (carAudioAllowed_ != 0 &&
        active_->FileExists(CDeviceControllerBase::kCarAudioMarkerName, &markerPath)) {
        mode_ = kCarAudioUnit;
        folders_[kCarAudioFolder] = kCarAudioFolderName;
        active_->CreateHiddenFolder(folders_[kCarAudioFolder]);
        CleanCarAudioWorkFiles();
        CreateFolderTree(DataFolder());
        BeginMoodChannelExport(DataFolder());
        active_->CopyFolderTree();
    } else {
        EndMoodChannelExport();
        CleanCarAudioWorkFiles();
    }
    DeleteCapability();

    if (!ReadPlayerCapability(hasFile)) {
        DropPlayer();
        return kStateNoPlayer;
    }
    if (!CapabilityListsAudio()) {
        if (mode_ != kCarAudioUnit || !LoadBuiltInCapability() || !CapabilityListsAudio()) {
            DropPlayer();
            return kStateNoPlayer;
        }
        hasFile = false;
    }
    ConfigureFolders();
    return state;
}

bool CTransferManager::ReadPlayerCapability(bool hasCapabilityFile) {
    DWORD size = active_->GetCapabilityFileSize();
    for (int asked = 1; size == 0 && hasCapabilityFile && asked < kCapabilitySizePolls; ++asked) {
        Sleep(capabilityPollMs_);
        size = active_->GetCapabilityFileSize();
    }
    if (size == 0) return LoadBuiltInCapability();
    // The size is the player's word: it is checked before anything is allocated (size + 1 would
    // wrap to 0 in a 32-bit build), and a document no real player carries is refused.
    if (size > kMaxCapabilityDocumentBytes) return false;

    char* buffer = new (std::nothrow) char[static_cast<size_t>(size) + 1]();
    if (buffer == nullptr) return false;
    // The MTP read wants the exact size each time, so every attempt asks for it afresh.
    DWORD read = size;
    active_->ReadCapabilityFile(buffer, &read);
    for (int reads = 1; read != size && reads < kCapabilityReads; ++reads) {
        Sleep(capabilityPollMs_);
        read = size;
        active_->ReadCapabilityFile(buffer, &read);
    }
    const bool parsed = ParseCapability(buffer, size);
    delete[] buffer;
    return parsed;
}

bool CTransferManager::LoadBuiltInCapability() {
    DWORD size = 0;
    if (FAILED(LoadDefaultCapabilityXml(nullptr, &size, builtInCapabilityId_)) || size == 0) return false;
    char* buffer = new (std::nothrow) char[static_cast<size_t>(size) + 1]();
    if (buffer == nullptr) return false;
    DWORD copied = size + 1;
    bool parsed = false;
    if (SUCCEEDED(LoadDefaultCapabilityXml(buffer, &copied, builtInCapabilityId_))) {
        DeleteCapability();
        parsed = ParseCapability(buffer, copied);
    }
    delete[] buffer;
    return parsed;
}

bool CTransferManager::ParseCapability(const char* bytes, DWORD size) {
    CScopedLock lock(deviceLock_);
    CTNDevCapability* parsed = nullptr;
    if (size > kMaxCapabilityDocumentBytes ||
        FAILED(ParseDeviceCapabilityXml(bytes, static_cast<int>(size), &parsed)) || parsed == nullptr) {
        return false;
    }
    delete capability_;
    capability_ = parsed;
    return true;
}

bool CTransferManager::CapabilityListsAudio() {
    std::vector<std::wstring> extensions;
    return GetCapabilityExtensions(extensions, CTNDevCapability::kAudio,
                                   CTNDevCapability::kDeviceFormats) &&
           !extensions.empty();
}

void CTransferManager::ConfigureFolders() {
    {
        CScopedLock lock(deviceLock_);
        if (capability_ == nullptr || activeType_ == kNoController) return;
    }
    // Capability folders are written from the root ("\MUSIC\"); ours are relative to it.
    auto take = [this](int folderType, FolderSlot slot) {
        std::wstring folder;
        if (!GetCapabilityFolder(&folder, folderType)) return false;
        if (!folder.empty() && folder[0] == L'\\') folder.erase(0, 1);
        folders_[slot] = folder;
        return true;
    };
    if (take(CTNDevCapability::kFolderSound, kSoundFolder)) {
        active_->CreateFolder(folders_[kSoundFolder]);
        folders_[kSoundFolder] = active_->GetMediaRootFolder();
    }
    if (take(CTNDevCapability::kFolderImage, kImageFolder)) active_->SetKind1Folder(folders_[kImageFolder]);
    if (take(CTNDevCapability::kFolderVideo, kVideoFolder)) active_->SetKind2Folder(folders_[kVideoFolder]);
    take(CTNDevCapability::kFolderFeeds, kFeedsFolder);
    take(CTNDevCapability::kFolderFeedImage, kFeedImageFolder);
    take(CTNDevCapability::kFolderFeedVideo, kFeedVideoFolder);
    if (take(CTNDevCapability::kFolderFeedSound, kFeedSoundFolder)) {
        active_->SetKind3Folder(folders_[kFeedSoundFolder]);
    }
    folders_[kPlaylistFolder] = kPlaylistFolderName;
    active_->PrepareFolder(folders_[kPlaylistFolder]);

    const struct {
        int folderType;
        DepthSlot slot;
    } depths[] = {{CTNDevCapability::kFolderSound, kSoundDepth},
                  {CTNDevCapability::kFolderImage, kImageDepth},
                  {CTNDevCapability::kFolderVideo, kVideoDepth},
                  {CTNDevCapability::kFolderFeeds, kFeedsDepth}};
    for (const auto& depth : depths) {
        int value = kDefaultDepth;
        if (!GetCapabilityDepth(&value, depth.folderType)) value = kDefaultDepth;
        depthLimits_[depth.slot] = value;
    }
    depthLimits_[kFixedDepth] = kDefaultDepth;
}
