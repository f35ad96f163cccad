// Which files the player takes: the extension picks the kind and media code, a bit of the
// coordinator's file-type mask says whether the player plays it, and a video the player cannot
// play may still go converted.
#include "library/contents/ContentsManager.h"

#include "library/util/FileSystem.h"
#include "library/util/FileTypes.h"
#include "library/util/Settings.h"

namespace {

bool Bit(uint64_t mask, int bit) { return ((mask >> bit) & 1u) != 0; }

// Mask bits of the player's formats.
constexpr int kBitMp3 = 1;
constexpr int kBitWma = 2;
constexpr int kBitMp4Audio = 3;
constexpr int kBit3gpAudio = 4;
constexpr int kBitM4a = 5;
constexpr int kBitWav = 7;
constexpr int kBitZel = 8;
constexpr int kBitZq3 = 9;
constexpr int kBitJpg = 17;
constexpr int kBitJpeg = 18;
constexpr int kBitJpe = 19;
constexpr int kBitMp4Video = 33;
constexpr int kBitM4v = 34;
// Also: the player plays what the movie conversion writes.
constexpr int kBitWmv = 35;
constexpr int kBit3gpVideo = 36;
constexpr int kBitFeeds = 57;

struct OtherVideo {
    bool (*matches)(const wchar_t*);
};
// Media codes 20 to 35, in this order.
constexpr OtherVideo kOtherVideos[] = {
    {IsMpgFile},  {IsMovFile}, {IsAviFile}, {IsFlvFile},  {IsRmFile},  {IsQtFile},  {IsDivxFile}, {IsXvidFile},
    {IsM2tsFile}, {IsM2tFile}, {IsMtsFile}, {IsMpegFile}, {IsMpeFile}, {IsM2vFile}, {IsMpv2File}, {IsMp2vFile},
};

void SetConversionMark(CTNContent* content, bool marked) {
    content->skip = marked ? 1 : 0;
    if (marked) content->passUnconverted = 0;
}

}  // namespace

bool CContentsManager::IsTransferableFile(bool podcastOrigin, const std::wstring& path, CTNContent* content) {
    if (!coordinator_ || !content) return false;
    const uint64_t mask = podcastOrigin ? podcastFileTypeMask_ : fileTypeMask_;
    // The predicates split whole paths in MAX_PATH buffers; the name alone keeps deep files typed.
    const std::wstring fileName = GetFileNameFromPath(path);
    const wchar_t* name = fileName.c_str();
    const uint32_t audioKind = podcastOrigin ? CTNContent::kAudioEpisode : CTNContent::kSong;
    const uint32_t videoKind = podcastOrigin ? CTNContent::kVideoEpisode : CTNContent::kVideo;
    auto classify = [content](uint32_t kind, uint32_t code) {
        content->kind = kind;
        content->fileType = code;
    };

    if (IsMp3File(name)) {
        classify(audioKind, 0);
        return Bit(mask, kBitMp3);
    }
    if (IsWmaFile(name)) {
        classify(audioKind, 1);
        return Bit(mask, kBitWma);
    }
    if (IsM4aFile(name)) {
        classify(audioKind, 2);
        return Bit(mask, kBitM4a);
    }
    if (Is3gpFile(name) || IsMp4File(name)) {
        const bool is3gp = Is3gpFile(name);
        const int32_t video = probe_->HasVideoTrack(path);
        if (video != 0 && video != 1) return false;
        if (video == 1) {
            classify(videoKind, is3gp ? 3 : 4);
            return VideoCheck(content, mask);
        }
        classify(audioKind, is3gp ? 3 : 4);
        if (is3gp) return Bit(mask, kBit3gpAudio);
        // Scripted writes (the wizard's refresh) carry audio-only MP4 files the player took as m4a.
        return Bit(mask, kBitMp4Audio) || (content->replaceExisting && Bit(mask, kBitM4a));
    }
    if (IsWavFile(name)) {
        classify(audioKind, 5);
        return Bit(mask, kBitWav);
    }
    if (IsZelFile(name) || IsZq3File(name)) {
        classify(audioKind, 6);
        return Bit(mask, kBitZel) || Bit(mask, kBitZq3);
    }
    if (IsJpgFile(name) || IsJpegFile(name) || IsJpeFile(name)) {
        const int offset = IsJpgFile(name) ? 0 : IsJpegFile(name) ? 1 : 2;
        classify(CTNContent::kPicture, 15 + offset);
        return Bit(mask, kBitJpg + offset);
    }
    if (IsWmvFile(name) || IsM4vFile(name)) {
        classify(videoKind, IsWmvFile(name) ? 18 : 19);
        return VideoCheck(content, mask);
    }
    for (uint32_t i = 0; i < sizeof(kOtherVideos) / sizeof(kOtherVideos[0]); ++i) {
        if (kOtherVideos[i].matches(name)) {
            classify(videoKind, 20 + i);
            return VideoCheck(content, mask);
        }
    }
    if (IsPcastFile(name) || IsOpmlFile(name)) {
        classify(IsPcastFile(name) ? CTNContent::kFeedFile : CTNContent::kFeedList, IsPcastFile(name) ? 37 : 38);
        return Bit(mask, kBitFeeds);
    }
    return false;
}

bool CContentsManager::VideoCheck(CTNContent* content, uint64_t mask) {
    switch (content->fileType) {
    case 3:
        if (Bit(mask, kBit3gpVideo)) return true;
        break;
    case 4:
        if (Bit(mask, kBitMp4Video)) return true;
        break;
    case 18:
        if (Bit(mask, kBitWmv)) return true;
        break;
    case 19:
        if (Bit(mask, kBitM4v)) return true;
        break;
    default:
        break;
    }
    if (!Bit(mask, kBitWmv)) {
        SetConversionMark(content, false);
        return false;
    }
    const bool cautionSetting = IsMovieConvertCautionSet();
    if (movieCaution_) {
        if (cautionSetting || !listener_ || AskMovieCaution() == 1) {
            SetConversionMark(content, true);
            return true;
        }
        movieCaution_ = false;
        SetConversionMark(content, false);
        return false;
    }
    if (cautionSetting || !listener_) {
        SetConversionMark(content, false);
        return false;
    }
    if (AskMovieCaution() == 1) {
        movieCaution_ = true;
        SetConversionMark(content, true);
        return true;
    }
    SetConversionMark(content, false);
    return false;
}
