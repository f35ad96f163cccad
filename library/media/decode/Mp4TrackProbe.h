#pragma once
// What the tracks of an MP4-family file hold, read from its boxes without decoding.

#include <string>

#include "library/media/decode/MediaProbeRecords.h"

// Zeroes both records, then fills the picture size, the channel count, the sample rate and the
// codec codes from the sample entries and the profile boxes. 0, or -1 for a null record or a
// file that does not open or parse.
int32_t CheckMp4Codecs(const std::wstring& path, MediaVideoInfo* video, MediaAudioInfo* audio);

// 1 when the file has a video track, 0 when not, -1 when it does not open or parse.
int32_t HasVideoTrack(const std::wstring& path);

// 1 when a protected ("drms") or lossless ("alac") audio entry is present, 0 when not, -1 when
// the file does not open or parse.
int32_t HasUnsupportedMp4Audio(const std::wstring& path);
