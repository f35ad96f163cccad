// Whether an accepted content suits the player as it is: pictures by size, audio by the bit rate
// of the player's audio profiles, movies by codec and the limits of its video profiles; a movie
// that does not suit may go converted.
#include "library/contents/ContentsManager.h"

#include "library/capability/CapabilityMap.h"
#include "library/util/FileSystem.h"
#include "library/util/Settings.h"

namespace {

using Profile = CTNDevCapability::CPlaybackCapability;

constexpr int32_t kMaxPictureSide = 4000;
constexpr int32_t kAudioCodecAac = 2;
constexpr int32_t kVideoAvcBaseline = 0x42;
constexpr int32_t kVideoMpeg4Simple = 0x1000001;
// WMA Pro audio, which the player's decoder does not take in a wmv.
constexpr uint16_t kWmaProFormatTag = 0x162;
// Kept, rather than a fault: capability documents written for these values mean the larger one.
constexpr int kMisreadAudioLimit = 28800;
constexpr int kMeantAudioLimit = 288000;
constexpr int kMisreadVideoLimit = 25000000;
constexpr int kMeantVideoLimit = 2500000;

std::wstring ExtensionOf(const std::wstring& path) {
    const std::wstring name = GetFileNameFromPath(path);
    const size_t dot = name.find_last_of(L'.');
    std::wstring extension = dot == std::wstring::npos ? std::wstring() : name.substr(dot + 1);
    for (wchar_t& c : extension) {
        if (c >= L'A' && c <= L'Z') c = wchar_t(c - L'A' + L'a');
    }
    return extension;
}

int AudioLimit(const Profile& profile) {
    const int limit = GetMapValueInt(profile.audio->properties, CTNDevCapability::kAudioMaxBitrate, 0);
    return profile.video && limit == kMisreadAudioLimit ? kMeantAudioLimit : limit;
}

bool WithinLimit(int32_t value, int limit) { return limit == 0 || value <= limit; }
bool AtLeast(int32_t value, int minimum) { return minimum == 0 || value >= minimum; }

// The codec names the probe stands for, or nothing when the player could never take it as is.
const wchar_t* VideoCodecName(int32_t codec) {
    if (codec == kVideoAvcBaseline) return L"AVCBL";
    if (codec == kVideoMpeg4Simple) return L"MPEG4SP";
    return nullptr;
}

bool ProfileFits(const Profile& profile, const MediaAudioInfo& audio, const MediaVideoInfo& video) {
    if (profile.audio) {
        if (!WithinLimit(audio.bitRate, AudioLimit(profile))) return false;
        if (!profile.audio->channels.count(audio.channelCount)) return false;
        if (!profile.audio->samplingRates.count(audio.sampleRate)) return false;
    }
    if (!profile.video) return true;
    const CapabilityPropertyMap& limits = profile.video->properties;
    int bitRateLimit = GetMapValueInt(limits, CTNDevCapability::kVideoMaxBitrate, 0);
    if (bitRateLimit == kMisreadVideoLimit) bitRateLimit = kMeantVideoLimit;
    return WithinLimit(video.bitRate, bitRateLimit) &&
           WithinLimit(video.frameRate, GetMapValueInt(limits, CTNDevCapability::kVideoMaxFrameRate, 0)) &&
           WithinLimit(video.width, GetMapValueInt(limits, CTNDevCapability::kVideoMaxWidth, 0)) &&
           AtLeast(video.width, GetMapValueInt(limits, CTNDevCapability::kVideoMinWidth, 0)) &&
           WithinLimit(video.height, GetMapValueInt(limits, CTNDevCapability::kVideoMaxHeight, 0)) &&
           AtLeast(video.height, GetMapValueInt(limits, CTNDevCapability::kVideoMinHeight, 0));
}

}  // namespace

int32_t CContentsManager::CheckMovieFormat(CTNContent* content, bool /*iTunesOrigin*/, bool podcast) {
    if (!content || !coordinator_) return 0;
    // Podcasts may go to the player's feed formats as well as its own.
    const int filter = podcast ? CTNDevCapability::kAllFormats : CTNDevCapability::kDeviceFormats;
    switch (content->kind) {
    case CTNContent::kPicture:
        return CheckPicture(content);
    case CTNContent::kSong:
    case CTNContent::kAudioEpisode:
        return CheckAudio(content, filter);
    default:
        break;
    }
    const bool isVideo = content->kind == CTNContent::kVideo ||
                         (content->kind == CTNContent::kVideoEpisode && content->fileType == 4) ||
                         content->fileType == 18 || content->fileType == 19;
    if (!isVideo) return 0;
    return DecideConversion(content, CheckVideo(content, filter));
}

int32_t CContentsManager::CheckPicture(CTNContent* content) {
    int32_t width = 0;
    int32_t height = 0;
    if (coordinator_->GetFrameLayout(content->sourcePath, &width, &height) != 1) return 0;
    if (width != 0 && height != 0) {
        content->width = width;
        content->height = height;
        std::wstring title = GetFileNameFromPath(content->sourcePath);
        const size_t dot = title.find_last_of(L'.');
        if (dot != std::wstring::npos) title.erase(dot);
        content->title = title;
    }
    return width > kMaxPictureSide || height > kMaxPictureSide ? 1 : 0;
}

int32_t CContentsManager::CheckAudio(CTNContent* content, int filter) {
    const int32_t code = int32_t(content->fileType);
    if ((code == 2 || code == 4) && probe_->HasUnsupportedMp4Audio(content->sourcePath) == 1) return 1;
    MediaAudioInfo audio = {};
    if (probe_->GetAudioFormatAndDuration(content->sourcePath, code, &audio) != 0) {
        content->duration = 0;
        return 0;
    }
    const std::wstring extension = ExtensionOf(content->sourcePath);
    bool overLimit = false;
    for (int index = 0;; ++index) {
        std::unique_ptr<Profile> profile;
        if (!coordinator_->FindPlaybackCapability(profile, extension, CTNDevCapability::kAudio, index, filter)) {
            break;
        }
        if (!profile || !profile->audio) continue;
        if (WithinLimit(audio.bitRate, AudioLimit(*profile))) {
            overLimit = false;
            break;
        }
        overLimit = true;
    }
    if (overLimit) return 1;
    content->audioBitrate = audio.bitRate;
    content->sampleRate = audio.sampleRate;
    content->channelCount = uint32_t(audio.channelCount);
    content->duration = uint64_t(audio.durationMs < 0 ? 0 : audio.durationMs);
    return 0;
}

// 0 suits the player, 1 does not, 3 suits it by codec but its values are unknown.
int32_t CContentsManager::CheckVideo(CTNContent* content, int filter) {
    if (content->skip) return 0;
    MediaVideoInfo video = {};
    MediaAudioInfo audio = {};
    if (probe_->GetMovieInfo(content->sourcePath, int32_t(content->fileType), &video, &audio) != 0) return 0;
    if (content->fileType == 18 && audio.formatTag == kWmaProFormatTag) return 1;

    const std::wstring extension = ExtensionOf(content->sourcePath);
    auto profileAt = [&](int index, std::unique_ptr<Profile>& profile) {
        return coordinator_->FindPlaybackCapability(profile, extension, CTNDevCapability::kVideo, index, filter) &&
               profile != nullptr;
    };
    bool codecPassed = false;
    for (int index = 0; !codecPassed; ++index) {
        std::unique_ptr<Profile> profile;
        if (!profileAt(index, profile)) break;
        if (profile->codecs.empty()) {
            codecPassed = true;
            break;
        }
        const wchar_t* codecName = VideoCodecName(video.codec);
        if (audio.codec != kAudioCodecAac || !codecName) return 3;
        codecPassed = profile->codecs.count(L"AAC_LC") && profile->codecs.count(codecName);
    }
    if (!codecPassed) return 1;
    if (audio.bitRate == 0 || audio.sampleRate == 0 || audio.channelCount == 0 || video.bitRate == 0 ||
        video.frameRate == 0 || video.width == 0 || video.height == 0) {
        return 3;
    }
    int32_t result = 1;
    for (int index = 0;; ++index) {
        std::unique_ptr<Profile> profile;
        if (!profileAt(index, profile)) break;
        if (ProfileFits(*profile, audio, video)) {
            result = 0;
            break;
        }
    }
    content->audioBitrate = audio.bitRate;
    content->sampleRate = audio.sampleRate;
    content->channelCount = uint32_t(audio.channelCount);
    content->videoBitrate = video.bitRate;
    content->frameRate = video.frameRate;
    content->width = video.width;
    content->height = video.height;
    content->duration = uint64_t(audio.durationMs < 0 ? 0 : audio.durationMs);
    return result;
}

int32_t CContentsManager::DecideConversion(CTNContent* content, int32_t result) {
    if (result != 1 && result != 3) return result;
    // A movie whose codec suits but whose values are unknown goes unconverted when not converted.
    const int32_t declined = result == 1 ? 1 : 0;
    auto mark = [&] {
        content->skip = 1;
        content->passUnconverted = result == 1 ? 0 : 1;
        return 0;
    };
    auto unmark = [&] {
        content->skip = 0;
        return declined;
    };
    if (((fileTypeMask_ >> 35) & 1u) == 0) return unmark();
    const bool cautionSetting = IsMovieConvertCautionSet();
    if (movieCaution_) {
        if (cautionSetting) return mark();
        if (!listener_) return mark();
        return AskMovieCaution() == 1 ? mark() : unmark();
    }
    if (cautionSetting || !listener_) return unmark();
    return AskMovieCaution() == 1 ? mark() : unmark();
}
