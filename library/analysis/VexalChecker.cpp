#include "library/analysis/VexalChecker.h"

#include "library/analysis/AnalysisEngine.h"
#include "library/media/decode/MediaTagObjects.h"

bool IsAnalysableMediaType(uint32_t mediaType) { return mediaType <= 4 || (mediaType >= 6 && mediaType <= 10); }

const std::wstring& ContentMediaPath(const CTNContent& content) {
    return content.tempPath.empty() ? content.sourcePath : content.tempPath;
}

void DropWorkingCopy(CTNContent* content) {
    if (content->tempPath.empty()) return;
    DeleteFileW(content->tempPath.c_str());
    content->tempPath.clear();
}

CVexalChecker::~CVexalChecker() { Stop(); }

void CVexalChecker::OnThreadStart() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }

void CVexalChecker::OnThreadEnd() {
    engine_.Reset();
    CoUninitialize();
}

void CVexalChecker::ProcessContent(CTNContent* content) {
    if (!content) {
        ForwardCurrent();
        return;
    }
    const std::wstring path = ContentMediaPath(*content);
    if (content->fileType == 1) {
        CTNByteArray* payload = nullptr;
        if (ReadMoodData(&payload, path, 1) == 0 && payload) {
            content->SetByteArray(payload);
        } else {
            delete payload;
        }
    }
    if (content->kind == CTNContent::kSong && IsAnalysableMediaType(content->fileType)) {
        std::wstring lookupId;
        if (ReadLookupId(&lookupId, path, static_cast<int32_t>(content->fileType)) == 0 && !lookupId.empty()) {
            content->lookupId = lookupId;
            content->writeLookupId = 0;
        }
        if (enabled_) CheckPayload(content, path);
        // A song still to be analysed keeps its working copy for decoding.
        if (content->hasMoodData || content->analysisNotWanted) DropWorkingCopy(content);
    }
    ForwardCurrent();
}

void CVexalChecker::CheckPayload(CTNContent* content, const std::wstring& path) {
    CTNByteArray* payload = nullptr;
    if (ReadMoodData(&payload, path, static_cast<int32_t>(content->fileType)) != 0 || !payload ||
        payload->length == 0) {
        delete payload;
        return;
    }
    engine_.Reset();
    LONG verdict = 0;
    if (SUCCEEDED(CreateAnalysisEngine(engine_.Receive())) &&
        SUCCEEDED(engine_->CheckData(payload->data, static_cast<LONG>(payload->length), &verdict)) && verdict != 0) {
        content->hasMoodData = 1;
        content->replaceExisting = 0;
        delete payload;
        return;
    }
    // Without an engine, or with a payload it does not accept, the song keeps what it carries and
    // still needs analysis.
    content->SetByteArray(payload);
}
