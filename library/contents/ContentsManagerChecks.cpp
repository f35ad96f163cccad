// The hand-on of one path or one iTunes record. The full checks (file types, player contents,
// movie formats) take the place of these bodies; what stays is the accounting: every content
// either goes down the chain or is reported done.
#include "library/contents/ContentsManager.h"

#include "library/util/DataFolders.h"
#include "library/util/FileSystem.h"
#include "library/util/TextConversion.h"

namespace {

// The wizard leaves its working copies in this folder; only those may be deleted after writing.
bool IsBelowWizardCache(const std::wstring& path) {
    const std::wstring cache = GetUserDataFolder() + L"HVX_Cache\\";
    // No climbing out of the folder, with either separator.
    if (path.size() <= cache.size() || path.find(L"\\..") != std::wstring::npos ||
        path.find(L'/') != std::wstring::npos) {
        return false;
    }
    return CompareStringOrdinal(path.c_str(), int(cache.size()), cache.c_str(), int(cache.size()), TRUE) ==
           CSTR_EQUAL;
}

std::wstring SanitizedRelativePath(const std::wstring& relative) {
    std::wstring joined;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find(L'\\', start);
        if (end == std::wstring::npos) end = relative.size();
        std::wstring component = relative.substr(start, end - start);
        SanitizeFileName(&component);
        if (!joined.empty()) joined += L'\\';
        joined += component;
        start = end + 1;
    }
    return joined;
}

}  // namespace

void CContentsManager::ProcessPathRequest(Request request) {
    if (!IsAccepting()) return;
    CTNContent* content = new CTNContent(0, 0);
    content->syncKind = request.kind == 10 ? 1 : request.kind == 11 ? 2 : request.kind == 12 ? 3 : 0;
    if (request.kind == 14) {
        content->replaceExisting = 1;
        // Writing regardless also deletes the source after the write; a script naming a user's
        // own file must not lose it, so only the wizard's working copies are given up.
        content->deleteSource = IsBelowWizardCache(request.value) ? 1 : 0;
    }
    content->sourcePath = request.value;
    content->relativePath = SanitizedRelativePath(request.value.substr(size_t(request.parameter)));
    content->RenewId();
    if (coordinator_) {
        std::wstring existing;
        if (coordinator_->DeviceRequest(content, &existing)) {
            if (!content->replaceExisting) {
                if (request.kind < 10 || request.kind > 12) Record(kListB, request.value);
                if (content->syncKind != 0 && listener_) {
                    listener_->OnSyncFileAdded(content->syncKind == 2 ? 2 : content->syncKind == 3 ? 3 : 0,
                                               content->sourcePath);
                }
                delete content;
                NotifyItemDone();
                return;
            }
            content->deviceObjectId = existing;
        }
        coordinator_->OnAnalysisNotice(content);
    }
    PostContent(content);
}

void CContentsManager::ProcessItemWithArtwork(CTNContent* item) {
    if (!IsAccepting()) {
        delete item;
        return;
    }
    if (item->kind == 11) {
        NotifyItemDone();
        delete item;
        return;
    }
    if (item->kind == 9) {
        if (QueuedRequestCount() == 0 && coordinator_) coordinator_->CheckTransferFinished();
        delete item;
        return;
    }
    item->relativePath = SanitizedRelativePath(GetFileNameFromPath(item->sourcePath));
    if (coordinator_) {
        std::wstring existing;
        if (coordinator_->DeviceRequest(item, &existing)) {
            Record(kListB, item->sourcePath);
            NotifyItemDone();
            delete item;
            return;
        }
        coordinator_->OnAnalysisNotice(item);
    }
    PostContent(item);
}
