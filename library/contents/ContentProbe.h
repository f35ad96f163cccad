#pragma once
// What the contents manager asks about a media file while checking it. The manager uses the
// media probes by default; tests put in scripted answers to reach every profile rule.

#include <cstdint>
#include <string>

#include "library/media/decode/MediaProbeRecords.h"
#include "library/media/decode/MediaTagText.h"

class IContentProbe {
public:
    virtual ~IContentProbe() = default;
    // 1 when an MP4-family file has a video track, 0 when not, anything else when unreadable.
    virtual int32_t HasVideoTrack(const std::wstring& path) = 0;
    // 1 when an MP4-family file holds lossless or protected audio.
    virtual int32_t HasUnsupportedMp4Audio(const std::wstring& path) = 0;
    // 0 with the bit rate, sample rate, channel count and duration; anything else on failure.
    virtual int32_t GetAudioFormatAndDuration(const std::wstring& path, int32_t mediaType, MediaAudioInfo* info) = 0;
    // 0 with both records filled; anything else on failure.
    virtual int32_t GetMovieInfo(const std::wstring& path, int32_t mediaType, MediaVideoInfo* video,
                                 MediaAudioInfo* audio) = 0;
    // The tag's text fields (artist, album...) that could be read.
    virtual void ReadTagFields(const std::wstring& path, int32_t mediaType, MediaTagFields* fields) = 0;
};
