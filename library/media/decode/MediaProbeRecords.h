#pragma once
// The plain records through which the probe helpers report what a media file contains.

#include <cstdint>

struct MediaAudioInfo {
    int32_t bitRate;       // bits per second
    int32_t sampleRate;
    int32_t channelCount;
    int64_t durationMs;
    int32_t codec;         // -1 no profile seen, -2 an unknown one, else the codec's code
    uint16_t formatTag;
};

struct MediaVideoInfo {
    int32_t bitRate;
    int32_t frameRate;
    int32_t width;
    int32_t height;
    int32_t codec;
};

// Media type codes of the content records that the probes tell apart.
enum MediaTypeCode : int32_t {
    kMediaMp3 = 0,
    kMediaWma = 1,
    kMediaM4a = 2,
    kMediaMp4Family3 = 3,
    kMediaMp4 = 4,
    kMediaWav = 5,
    kMediaCodecFamilyFirst = 6,
    kMediaCodecFamilyLast = 10,
    kMediaLastTagged = 14,
    kMediaWindowsMediaVideo = 18,
    kMediaMp4Movie = 19,
};
