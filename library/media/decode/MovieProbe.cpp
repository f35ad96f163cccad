#include "library/media/decode/MovieProbe.h"

#include "library/media/decode/AudioFormatProbe.h"
#include "library/media/decode/Mp4TrackProbe.h"
#include "library/media/decode/WMReaderProbe.h"

namespace {

constexpr LONGLONG kTimeUnitsPerSecond = 10000000;

}  // namespace

int32_t ProbeWithWMReader(const std::wstring& path, MediaAudioInfo* audio, MediaVideoInfo* video) {
    if (audio == nullptr || video == nullptr) return -1;
    WAVEFORMATEX audioFormat{};
    VIDEOINFOHEADER videoFormat{};
    if (FAILED(ProbeWMFile(path.c_str(), &audioFormat, &videoFormat))) return -1;
    audio->formatTag = audioFormat.wFormatTag;
    audio->channelCount = audioFormat.nChannels;
    audio->sampleRate = static_cast<int32_t>(audioFormat.nSamplesPerSec);
    audio->bitRate = static_cast<int32_t>(audioFormat.nAvgBytesPerSec * 8);
    video->bitRate = static_cast<int32_t>(videoFormat.dwBitRate);
    video->frameRate = videoFormat.AvgTimePerFrame != 0
                           ? static_cast<int32_t>(kTimeUnitsPerSecond / videoFormat.AvgTimePerFrame)
                           : 0;
    video->width = videoFormat.bmiHeader.biWidth;
    video->height = videoFormat.bmiHeader.biHeight;
    return 0;
}

int32_t GetMovieInfo(const std::wstring& path, int32_t mediaType, MediaVideoInfo* video, MediaAudioInfo* audio) {
    if (mediaType == kMediaMp4 || mediaType == kMediaMp4Movie) return CheckMp4Codecs(path, video, audio);
    if (mediaType != kMediaWindowsMediaVideo) return -1;
    const int32_t result = ProbeWithWMReader(path, audio, video);
    int64_t durationMs = 0;
    if (audio != nullptr && SUCCEEDED(GetMediaDurationMs(path.c_str(), &durationMs))) audio->durationMs = durationMs;
    return result;
}
