#pragma once
// The chain stage that reads what a song's tags already carry: the CD-lookup identifier and the
// mood-analysis payload. A payload that the analysis engine accepts marks the song analysed, so
// the analysis stage passes it by.

#include <atomic>

#include "library/content/RunnableTNContentHandler.h"
#include "library/util/ScopedCom.h"
#include "platform/analysis/MusicAnalysisEngine.h"

class CVexalChecker : public CRunnableTNContentHandler {
public:
    CVexalChecker() = default;
    ~CVexalChecker() override;

    // Whether payloads found in the tags are checked with the engine (the analysis setting).
    void SetEnabled(bool enabled) { enabled_ = enabled; }

protected:
    void ProcessContent(CTNContent* content) override;
    void OnThreadStart() override;
    void OnThreadEnd() override;

private:
    void CheckPayload(CTNContent* content, const std::wstring& path);

    std::atomic<bool> enabled_{true};
    CScopedComPtr<IMusicAnalysisEngine> engine_;
};

// Songs of these media type codes can be decoded and analysed: MP3, WMA, the MP4 family and the
// maker's codec family.
bool IsAnalysableMediaType(uint32_t mediaType);
// The file whose tags and audio stand for the content: its working copy when it has one.
const std::wstring& ContentMediaPath(const CTNContent& content);
// Deletes the working copy and forgets its path.
void DropWorkingCopy(CTNContent* content);
