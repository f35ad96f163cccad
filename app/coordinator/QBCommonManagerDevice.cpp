// A player comes or goes: what it can take, how the window and automation see it, and the
// analysis and movie settings that follow from it.
#include "app/coordinator/QBCommonManager.h"

#include <algorithm>
#include <cwctype>

#include "app/coordinator/AutomationEventText.h"
#include "app/coordinator/QBCommonManagerInternal.h"
#include "library/util/SettingNames.h"
#include "library/util/Settings.h"
#include "library/util/UIModeFile.h"

using namespace coordinator;

namespace {

struct ExtensionBit {
    const wchar_t* extension;
    uint32_t bit;
};

constexpr ExtensionBit kAudioBits[] = {
    {L"mp3", 0x2},   {L"wma", 0x4},   {L"mp4", 0x8},    {L"3gp", 0x10},  {L"m4a", 0x20},
    {L"aac", 0x40},  {L"wav", 0x80},  {L"zel", 0x100},  {L"zq3", 0x200},
};
constexpr ExtensionBit kImageBits[] = {
    {L"jpg", 0x20000}, {L"jpeg", 0x40000}, {L"jpe", 0x80000}, {L"png", 0x100000}, {L"bmp", 0x200000},
};
constexpr ExtensionBit kVideoBits[] = {
    {L"mp4", 0x2},       {L"m4v", 0x4},       {L"wmv", 0x8},       {L"3gp", 0x10},     {L"mpg", 0x20},
    {L"mov", 0x40},      {L"avi", 0x80},      {L"flv", 0x100},     {L"rm", 0x200},     {L"qt", 0x400},
    {L"divx", 0x800},    {L"xvid", 0x1000},   {L"m2ts", 0x2000},   {L"m2t", 0x4000},   {L"mts", 0x8000},
    {L"mpeg", 0x10000},  {L"mpe", 0x20000},   {L"m2v", 0x40000},   {L"mpv2", 0x80000}, {L"mp2v", 0x100000},
};
constexpr uint32_t kFeedListBit = 0x2000000;

std::wstring Lower(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    return text;
}

template <size_t N>
uint32_t MaskOf(const std::vector<std::wstring>& extensions, const ExtensionBit (&table)[N]) {
    uint32_t mask = 0;
    for (const std::wstring& listed : extensions) {
        const std::wstring extension = Lower(listed);
        for (const ExtensionBit& entry : table) {
            if (extension == entry.extension) mask |= entry.bit;
        }
    }
    return mask;
}

const wchar_t* Flag(bool on) { return on ? L"1" : L"0"; }

}  // namespace

void CQBCommonManager::BuildFileTypeTable() {
    std::vector<std::wstring> audio, image, video;
    transfer_.GetCapabilityExtensions(audio, CTNDevCapability::kAudio, CTNDevCapability::kDeviceFormats);
    transfer_.GetCapabilityExtensions(image, CTNDevCapability::kImage, CTNDevCapability::kDeviceFormats);
    transfer_.GetCapabilityExtensions(video, CTNDevCapability::kVideo, CTNDevCapability::kDeviceFormats);
    FileTypeMasks masks;
    masks.audio = MaskOf(audio, kAudioBits) | MaskOf(image, kImageBits);
    masks.video = MaskOf(video, kVideoBits);

    const bool feedLists =
        transfer_.IsCapabilityExtensionPlayable(L"opml", CTNDevCapability::kFile, CTNDevCapability::kFeedFormats);
    if (feedLists) {
        masks.video |= kFeedListBit;
        masks.feedVideo = kFeedListBit;
    }
    std::vector<std::wstring> feedAudio, feedImage, feedVideo;
    transfer_.GetCapabilityExtensions(feedAudio, CTNDevCapability::kAudio, CTNDevCapability::kFeedFormats);
    transfer_.GetCapabilityExtensions(feedImage, CTNDevCapability::kImage, CTNDevCapability::kFeedFormats);
    transfer_.GetCapabilityExtensions(feedVideo, CTNDevCapability::kVideo, CTNDevCapability::kFeedFormats);
    masks.feedAudio = MaskOf(feedAudio, kAudioBits) | MaskOf(feedImage, kImageBits);
    masks.feedVideo |= MaskOf(feedVideo, kVideoBits);
    // Without video feed formats, feed videos go where plain videos go (the extension bits only).
    if (feedVideo.empty()) masks.feedVideo |= masks.video & 0xFFFFFF;

    bool kinds[kKindCount];
    kinds[kKindAudio] = !audio.empty();
    kinds[kKindImage] = !image.empty();
    kinds[kKindVideo] = !video.empty();
    kinds[kKindFeeds] = !feedAudio.empty() || !feedImage.empty() || !feedVideo.empty() || feedLists;
    kinds[kKindMtp] = transfer_.GetActiveControllerType() == CTransferManager::kMtpController;

    masks_ = masks;
    contents_.SetFileTypeMasks(masks.audio | (static_cast<uint64_t>(masks.video) << 32),
                               masks.feedAudio | (static_cast<uint64_t>(masks.feedVideo) << 32));
    {
        CScopedLock lock(lock_);
        std::copy(kinds, kinds + kKindCount, kinds_);
    }
    if (frame_ != nullptr) frame_->LayoutPanels(kinds);
}

bool CQBCommonManager::IsRavelinSupported() {
    return transfer_.GetCapabilityBool(CTNDevCapability::kPropRavelinEnable, false);
}

void CQBCommonManager::ApplyAnalysisMode() {
    bool on = false;
    if (transfer_.GetMode() == CTransferManager::kCarAudioUnit) {
        on = true;
    } else {
        DWORD mode = 2;
        ReadSetting(settings::kAnalysisMode, &mode);
        on = mode == 0 ? IsRavelinSupported() : mode == 1;
    }
    analysisOn_ = on;
    checker_.SetEnabled(on);
    lookupGroup_.SetOptionA(on);
    analysisGroup_.SetOption(on);
    if (frame_ != nullptr) frame_->SetAnalysisMode(on);
}

CQBCommonManager::WmvFormat CQBCommonManager::GetWmvVideoFormat() {
    WmvFormat format;
    std::unique_ptr<CTNDevCapability::CPlaybackCapability> record;
    if (!FindPlaybackCapabilityFor(record, L"wmv", CTNDevCapability::kVideo, CTNDevCapability::kDeviceFormats) ||
        !record || !record->video) {
        return format;
    }
    const CapabilityPropertyMap& video = record->video->properties;
    const int width = GetMapValueInt(video, CTNDevCapability::kVideoMaxWidth, 0);
    const int height = GetMapValueInt(video, CTNDevCapability::kVideoMaxHeight, 0);
    if (width > 0 && height > 0) {
        format.width = static_cast<uint32_t>(width);
        format.height = static_cast<uint32_t>(height);
    }
    const int videoRate = GetMapValueInt(video, CTNDevCapability::kVideoMaxBitrate, 0);
    // Documents in the field carry these two rates with a digit too many or too few.
    format.videoBitRate = videoRate == 25000000 ? 2500000u : static_cast<uint32_t>(videoRate > 0 ? videoRate : 0);
    if (record->audio) {
        const int audioRate = GetMapValueInt(record->audio->properties, CTNDevCapability::kAudioMaxBitrate, 0);
        format.audioBitRate = audioRate == 28800 ? 288000u : static_cast<uint32_t>(audioRate > 0 ? audioRate : 0);
    }
    return format;
}

void CQBCommonManager::SetMovieOutputSize() {
    const WmvFormat format = GetWmvVideoFormat();
    movieConvert_.SetOutputSize(format.width, format.height);
}

void CQBCommonManager::RaiseUIMode(bool carAudio, bool withWindow) {
    if (ReadUIMode() != 1 || !carAudio) return;
    if (withWindow && frame_ != nullptr) {
        frame_->SetUIMode(2);
        if (frame_->LanguageCode() != L"JPN") frame_->ShowCarAudioControl();
    }
    WriteUIMode();
}

std::wstring CQBCommonManager::SyncPresetText() {
    std::vector<std::wstring> names;
    for (int kind : {0, 2, 3}) {
        std::wstring name;
        if (dialogs_ != nullptr) {
            const int id = dialogs_->GetSyncPresetName(dialogs_->GetEffectiveSyncPreset(kind));
            if (id >= 0) name = LoadResourceText(resourceModule_, static_cast<UINT>(id));
        }
        names.push_back(name);
    }
    return JoinEventFields(names);
}

void CQBCommonManager::BuildDeviceDescription(int state, int32_t extra) {
    const bool connected = state == 1 || state == 2 || state == 4;
    const int uiMode = ReadUIMode();
    std::wstring icon, volume, kinds = L"0|0|0|0|1";
    int32_t freeKiB = 0;
    if (connected) {
        icon = transfer_.GetDeviceIconPath();
        if (icon.empty() && uiMode != 0 && !transfer_.HasCapability()) icon = L"USB_MEM";
        volume = transfer_.GetVolumeInfo();
        freeKiB = FreeSpaceKib();
        CScopedLock lock(lock_);
        kinds = JoinEventFields({Flag(kinds_[0]), Flag(kinds_[1]), Flag(kinds_[2]), Flag(kinds_[3]), Flag(kinds_[4])});
    }
    const std::wstring syncEnabled =
        JoinEventFields({Flag(ReadSyncEnabled(0)), Flag(ReadSyncEnabled(2)), Flag(ReadSyncEnabled(3))});
    const std::vector<std::wstring> fields = {
        Flag(connected),
        icon,
        volume,
        std::to_wstring(freeKiB),
        kinds,
        deviceText_,
        SyncPresetText(),
        syncEnabled,
        Flag(ReadSyncAutoexec()),
        Flag(transfer_.GetMode() == CTransferManager::kCarAudioUnit),
        std::to_wstring(uiMode),
        Flag(extra != 0),
    };
    PostText(IAutomationEvents::kInvoke, JoinEventFields(fields));
}

void CQBCommonManager::OnDeviceStateChanged() {
    bool hasCapabilityFile = false;
    const int state = transfer_.CheckDevice(&hasCapabilityFile);
    const bool carAudio = transfer_.GetMode() == CTransferManager::kCarAudioUnit;
    if (state == CTransferManager::kStateFound || state == CTransferManager::kStateChanged) {
        if (state == CTransferManager::kStateChanged) {
            if (frame_ != nullptr) SetEvent(frame_->StopEvent());
            OnCancel(0);
            CloseOpenDialogs();
            transfer_.AbortEnumeration();
            transfer_.StopFolderTreeThread();
            transfer_.StopDeleteThread();
        } else if (frame_ != nullptr) {
            ResetEvent(frame_->StopEvent());
        }
        SetMovieOutputSize();

        unsigned iconSize = 0;
        uint8_t* icon = transfer_.LoadDeviceIcon(&iconSize);
        if (frame_ != nullptr) {
            IMainFrameView::DeviceView view;
            view.icon = icon;
            view.iconSize = iconSize;
            view.volumeName = transfer_.GetVolumeInfo();
            view.name = view.volumeName;
            view.freeBytes = transfer_.GetFreeSpace();
            view.totalBytes = transfer_.GetTotalSpace();
            frame_->ShowDevice(view);
        }
        delete[] icon;

        RaiseUIMode(carAudio, true);
        if (frame_ != nullptr) frame_->SetCarAudioFlag(carAudio);
        BuildFileTypeTable();
        ApplyAnalysisMode();

        bool musicEmpty = false, movieEmpty = false, podcastEmpty = false;
        transfer_.GetFolderStates(&musicEmpty, &movieEmpty, &podcastEmpty);
        BuildDeviceDescription(state, 0);
        if (musicEmpty) ClearSyncFileList(0);
        if (movieEmpty) ClearSyncFileList(2);
        if (podcastEmpty) ClearSyncFileList(3);

        if (ReadSyncAutoexec()) {
            OnStartSync();
        } else if (frame_ != nullptr && !startedByAutomation_) {
            frame_->RefreshProgressChild();
        }
        CheckAutoUpdate();
    } else if (state == CTransferManager::kStateNoPlayer) {
        if (frame_ != nullptr) SetEvent(frame_->StopEvent());
        CancelRun(false);
        CloseOpenDialogs();
        transfer_.AbortEnumeration();
        transfer_.StopFolderTreeThread();
        transfer_.StopDeleteThread();
        if (frame_ != nullptr) frame_->ClearDevice();
        ApplyAnalysisMode();
        BuildDeviceDescription(state, 0);
    } else if (state == CTransferManager::kStateKeptOthersPresent) {
        if (frame_ != nullptr) ResetEvent(frame_->StopEvent());
        SendToFrame(kMessageBoxMessage, 109, kWarningBoxFlags);
    } else if (frame_ != nullptr) {
        ResetEvent(frame_->StopEvent());
    }
    lastDeviceState_ = state;
}
