#pragma once
// The contents manager's questions answered from the file itself, by the media probes.

#include "library/contents/ContentProbe.h"

class CMediaFileProbe : public IContentProbe {
public:
    int32_t HasVideoTrack(const std::wstring& path) override;
    int32_t HasUnsupportedMp4Audio(const std::wstring& path) override;
    int32_t GetAudioFormatAndDuration(const std::wstring& path, int32_t mediaType, MediaAudioInfo* info) override;
    int32_t GetMovieInfo(const std::wstring& path, int32_t mediaType, MediaVideoInfo* video,
                         MediaAudioInfo* audio) override;
    void ReadTagFields(const std::wstring& path, int32_t mediaType, MediaTagFields* fields) override;
};
