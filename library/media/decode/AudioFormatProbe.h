#pragma once
// The audio format and duration of a file, as the decoder graph built for it sees them.

#include <windows.h>
#include <mmreg.h>

#include <cstdint>
#include <string>

#include "library/media/decode/MediaProbeRecords.h"

// The decoder graph's source kind for a media type code: 1 MP3 from memory, 2 RenderFile,
// 3 the MP4-family decoder, 4 the codec-family filters. Other codes set 0 and give -1.
int32_t GetTranscodeSourceKind(int32_t mediaType, int32_t* sourceKind);

// The format entering the decoder (for a compressed file its compressed format) and the
// duration in milliseconds. 0, or -1 with the format zeroed when the graph does not build.
// Waits for the single-decode token as long as another graph holds it.
int32_t GetAudioFormatAndDuration(const wchar_t* path, int32_t mediaType, WAVEFORMATEX* format, int64_t* durationMs);

// The same into an audio record: bit rate, sample rate, channel count and format tag on success;
// the duration in every case (0 when no graph was built).
int32_t GetAudioFormatAndDurationW(const std::wstring& path, int32_t mediaType, MediaAudioInfo* info);

// The duration the platform's own graph gives for the file, without running it; E_POINTER for a
// null out, else the failure of the graph or its seeking interface.
HRESULT GetMediaDurationMs(const wchar_t* path, int64_t* durationMs);
