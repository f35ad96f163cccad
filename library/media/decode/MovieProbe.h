#pragma once
// What a movie holds: its video and audio streams, by the Windows Media reader or the MP4 boxes.

#include <string>

#include "library/media/decode/MediaProbeRecords.h"

// The stream formats of a Windows Media file through the platform's reader. 0, or -1 on failure
// or a null record.
int32_t ProbeWithWMReader(const std::wstring& path, MediaAudioInfo* audio, MediaVideoInfo* video);

// Codes 4 and 19 read the MP4 boxes; code 18 asks the Windows Media reader and takes the duration
// from the platform's graph. Any other code gives -1 and leaves the records alone.
int32_t GetMovieInfo(const std::wstring& path, int32_t mediaType, MediaVideoInfo* video, MediaAudioInfo* audio);
