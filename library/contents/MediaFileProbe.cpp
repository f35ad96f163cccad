#include "library/contents/MediaFileProbe.h"

#include <windows.h>

#include "library/media/decode/AudioFormatProbe.h"
#include "library/media/decode/MovieProbe.h"
#include "library/media/decode/Mp3HeaderProbe.h"
#include "library/media/decode/Mp4TrackProbe.h"

namespace {

// Building a decoder graph for a name that is not there costs far more than asking the file
// system; dropped and scripted paths often name nothing.
bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

int32_t CMediaFileProbe::HasVideoTrack(const std::wstring& path) { return ::HasVideoTrack(path); }

int32_t CMediaFileProbe::HasUnsupportedMp4Audio(const std::wstring& path) { return ::HasUnsupportedMp4Audio(path); }

int32_t CMediaFileProbe::GetAudioFormatAndDuration(const std::wstring& path, int32_t mediaType,
                                                   MediaAudioInfo* info) {
    if (!IsFile(path)) return -1;
    // An MP3's own headers tell what its decoder graph would, at a fraction of the cost.
    if (mediaType == kMediaMp3 && ReadMp3FormatAndDuration(path, info) == 0) return 0;
    return GetAudioFormatAndDurationW(path, mediaType, info);
}

int32_t CMediaFileProbe::GetMovieInfo(const std::wstring& path, int32_t mediaType, MediaVideoInfo* video,
                                      MediaAudioInfo* audio) {
    if (!IsFile(path)) return -1;
    return ::GetMovieInfo(path, mediaType, video, audio);
}

void CMediaFileProbe::ReadTagFields(const std::wstring& path, int32_t mediaType, MediaTagFields* fields) {
    if (!fields || !IsFile(path)) return;
    ReadTagTextFieldsByType(*fields, path, mediaType);
}
