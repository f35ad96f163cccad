// The checking of one path or one iTunes record: it is classified, given its place on the player
// and checked against the player's formats. Every content either goes down the chain or is
// reported done.
#include "library/contents/ContentsManager.h"

#include "library/util/DataFolders.h"
#include "library/util/DestinationName.h"
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

std::wstring SafeComponent(std::wstring component) {
    SanitizeFileName(&component);
    return CDestinationName::MakeSafeComponent(std::move(component));
}

// Each component made safe for the player's file system; empty components are dropped, so a
// doubled or leading separator adds no level.
std::wstring SafeRelativePath(const std::wstring& relative) {
    std::wstring joined;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find_first_of(L"\\/", start);
        if (end == std::wstring::npos) end = relative.size();
        if (end > start) {
            if (!joined.empty()) joined += L'\\';
            joined += SafeComponent(relative.substr(start, end - start));
        }
        start = end + 1;
    }
    return joined;
}

// A tag text as a folder name: separators and dots become "_", trailing blanks go.
std::wstring FolderNameOr(std::wstring text, const wchar_t* fallback) {
    ReplaceReservedChars(&text);
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) text.pop_back();
    return text.empty() ? std::wstring(fallback) : text;
}

}  // namespace

void CContentsManager::ReportSyncFile(const CTNContent* content) {
    if (content->syncKind == 0 || !listener_) return;
    listener_->OnSyncFileAdded(content->syncKind == 2 ? 2 : content->syncKind == 3 ? 3 : 0, content->sourcePath);
}

void CContentsManager::RefuseContent(CTNContent* content, ReportList list, const std::wstring& entry) {
    Record(list, entry);
    ReportSyncFile(content);
    delete content;
    NotifyItemDone();
}

std::wstring CContentsManager::MusicRelativePath(const CTNContent* content, bool withArtist, bool fromTags) {
    std::wstring artist = content->artist;
    std::wstring album = content->album;
    if (fromTags) {
        MediaTagFields fields;
        probe_->ReadTagFields(content->sourcePath, int32_t(content->fileType), &fields);
        artist = fields[kFieldArtist];
        album = fields[kFieldAlbum];
    }
    std::wstring relative;
    if (withArtist) relative = SafeComponent(FolderNameOr(artist, L"{no name}")) + L"\\";
    relative += SafeComponent(FolderNameOr(album, L"{no album name}")) + L"\\";
    return relative + SafeComponent(GetFileNameFromPath(content->sourcePath));
}

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
    const bool podcastOrigin = request.kind == 5 || request.kind == 12;
    if (!IsTransferableFile(podcastOrigin, request.value, content)) {
        content->sourcePath = request.value;
        RefuseContent(content, kListA, request.value);
        return;
    }
    if (!IsAccepting()) {
        delete content;
        return;
    }
    if (content->kind == CTNContent::kFeedFile || content->kind == CTNContent::kFeedList) {
        ProcessFeedContent(content, request.value);
        return;
    }

    content->sourcePath = request.value;
    if (request.kind == 9 && content->kind == CTNContent::kSong) {
        content->relativePath = MusicRelativePath(content, true, true);
    } else if (request.parameter >= 0 && size_t(request.parameter) <= request.value.size()) {
        content->relativePath = SafeRelativePath(request.value.substr(size_t(request.parameter)));
    }
    // A prefix past the path, or nothing left after it, names no file on the player.
    if (!CDestinationName::IsSafeRelativePath(content->relativePath)) {
        RefuseContent(content, kListA, request.value);
        return;
    }
    const int kind = request.kind;
    content->originFlag = (kind == 1 || kind == 2 || (kind >= 9 && kind <= 12) || kind == 14) ? 0 : 1;
    content->RenewId();
    if (!IsAccepting()) {
        delete content;
        return;
    }

    std::wstring existing;
    if (coordinator_->DeviceRequest(content, &existing)) {
        if (!content->replaceExisting) {
            // A sync scan meets its earlier files on every run; they only join the sync list.
            if (kind < 10 || kind > 12) Record(kListB, request.value);
            ReportSyncFile(content);
            delete content;
            NotifyItemDone();
            return;
        }
        content->deviceObjectId = existing;
    }
    if (!IsAccepting()) {
        delete content;
        return;
    }
    if (CheckMovieFormat(content, content->originFlag != 0, podcastOrigin) != 0) {
        RefuseContent(content, kListA, request.value);
        return;
    }
    coordinator_->OnAnalysisNotice(content);
    PostContent(content);
}

void CContentsManager::ProcessItemWithArtwork(CTNContent* item) {
    if (!IsAccepting()) {
        delete item;
        return;
    }
    if (item->kind == CTNContent::kITunesTrack) {
        NotifyItemDone();
        delete item;
        return;
    }
    if (item->kind == kEnumerationEnd) {
        if (QueuedRequestCount() == 0 && coordinator_) coordinator_->CheckTransferFinished();
        delete item;
        return;
    }
    const std::wstring source = item->sourcePath;
    if (!IsTransferableFile(item->isPodcast != 0, source, item)) {
        RefuseContent(item, kListA, source);
        return;
    }
    if (item->kind == CTNContent::kSong || item->kind == CTNContent::kAudioEpisode ||
        item->kind == CTNContent::kVideoEpisode) {
        item->relativePath = MusicRelativePath(item, !item->isPodcast, false);
    } else {
        item->relativePath = SafeComponent(GetFileNameFromPath(source));
    }
    if (item->isPodcast) {
        if (((fileTypeMask_ >> 57) & 1u) && !podcastCaution_ && listener_) listener_->OnPodcastCaution();
        podcastCaution_ = true;
    }
    item->originFlag = 1;
    std::wstring existing;
    if (coordinator_->DeviceRequest(item, &existing)) {
        RefuseContent(item, kListB, source);
        return;
    }
    if (CheckMovieFormat(item, true, item->isPodcast != 0) != 0) {
        RefuseContent(item, kListA, source);
        return;
    }
    if (item->kind == CTNContent::kVideo && !item->artworkPath.empty()) {
        HANDLE artwork = CreateFileW(item->artworkPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (artwork != INVALID_HANDLE_VALUE) {
            CloseHandle(artwork);
            item->companionSourcePath = item->artworkPath;
            std::wstring picture = item->relativePath;
            const size_t dot = picture.find_last_of(L'.');
            const size_t separator = picture.find_last_of(L'\\');
            if (dot != std::wstring::npos && (separator == std::wstring::npos || dot > separator)) picture.erase(dot);
            item->companionRelativePath = picture + L".jpg";
        }
    }
    coordinator_->OnAnalysisNotice(item);
    PostContent(item);
}
