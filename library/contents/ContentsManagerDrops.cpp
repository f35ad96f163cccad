// Drops and pastes on the UI thread: they only read the data object and queue requests.
#include "library/contents/ContentsManager.h"

#include <shlobj.h>

#include "library/contents/DragSource.h"
#include "library/contents/FeedListFile.h"
#include "library/util/FileSystem.h"
#include "library/util/FileTypes.h"
#include "library/util/TextConversion.h"

namespace {

// The drop data of one format as global memory; released with the object.
class CDropMedium {
public:
    CDropMedium(IDataObject* data, CLIPFORMAT format) {
        FORMATETC wanted = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        ok_ = data && format && data->GetData(&wanted, &medium_) == S_OK && medium_.tymed == TYMED_HGLOBAL;
        if (!ok_) return;
        bytes_ = GlobalLock(medium_.hGlobal);
        size_ = bytes_ ? GlobalSize(medium_.hGlobal) : 0;
    }
    ~CDropMedium() {
        if (bytes_) GlobalUnlock(medium_.hGlobal);
        if (ok_) ReleaseStgMedium(&medium_);
    }
    CDropMedium(const CDropMedium&) = delete;
    CDropMedium& operator=(const CDropMedium&) = delete;

    bool Has() const { return ok_; }
    const void* Bytes() const { return bytes_; }
    size_t Size() const { return size_; }

private:
    STGMEDIUM medium_ = {};
    bool ok_ = false;
    void* bytes_ = nullptr;
    size_t size_ = 0;
};

CLIPFORMAT Registered(const wchar_t* name) {
    return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(name));
}

// A wide text of at most `bytes` bytes, ended by the first zero when there is one.
std::wstring BoundedWideText(const void* data, size_t bytes) {
    const wchar_t* text = static_cast<const wchar_t*>(data);
    const size_t units = bytes / sizeof(wchar_t);
    size_t length = 0;
    while (length < units && text[length]) ++length;
    return std::wstring(text, length);
}

// The paths of a CF_HDROP block, read within the block's size: a block from another process
// may lie about its offsets or miss its terminators.
bool ReadDroppedPaths(const void* block, size_t size, std::vector<std::wstring>* paths) {
    if (size < sizeof(DROPFILES)) return false;
    const DROPFILES* header = static_cast<const DROPFILES*>(block);
    if (header->pFiles < sizeof(DROPFILES) || header->pFiles >= size) return false;
    const BYTE* bytes = static_cast<const BYTE*>(block) + header->pFiles;
    const size_t remaining = size - header->pFiles;
    if (header->fWide) {
        const wchar_t* text = reinterpret_cast<const wchar_t*>(bytes);
        const size_t units = remaining / sizeof(wchar_t);
        size_t at = 0;
        while (at < units && text[at]) {
            size_t end = at;
            while (end < units && text[end]) ++end;
            paths->emplace_back(text + at, end - at);
            at = end + 1;
        }
        return true;
    }
    const char* text = reinterpret_cast<const char*>(bytes);
    size_t at = 0;
    while (at < remaining && text[at]) {
        size_t end = at;
        while (end < remaining && text[end]) ++end;
        const int length = MultiByteToWideChar(CP_ACP, 0, text + at, int(end - at), nullptr, 0);
        std::wstring path(size_t(length > 0 ? length : 0), L'\0');
        if (length > 0) MultiByteToWideChar(CP_ACP, 0, text + at, int(end - at), &path[0], length);
        paths->push_back(std::move(path));
        at = end + 1;
    }
    return true;
}

bool ReadUnicodeText(IDataObject* data, std::wstring* text) {
    CDropMedium medium(data, CF_UNICODETEXT);
    if (!medium.Bytes()) return false;
    *text = BoundedWideText(medium.Bytes(), medium.Size());
    return true;
}

}  // namespace

int32_t CContentsManager::HandleDrop(IDataObject* data) {
    if (!data) {
        if (ChainIdle()) coordinator_->UpdateProgress(0);
        return 0;
    }
    if (!IsAccepting()) return 1;
    const int source = GetDragSourceKind(data);
    bool selection = false;
    bool podcastMarker = false;
    if (source == kDragSourceITunes) {
        const bool hasText = IsClipboardFormatAvailableIn(CF_UNICODETEXT, data);
        const bool hasFiles = IsClipboardFormatAvailableIn(CF_HDROP, data);
        if (hasText && hasFiles) {
            std::wstring text;
            ReadUnicodeText(data, &text);
            QueueRequest(Request{text, 13, 0});
        } else if (hasText) {
            selection = true;
        } else {
            selection = !hasFiles && IsDataFormatAvailable(L"iTunesObjectListName", data);
        }
        podcastMarker = IsDataFormatAvailable(L"iTunesObjectSpec", data);
    }
    const bool posted = selection ? HandleITunesDrop(data) : HandleFileDrop(data, source, podcastMarker);
    if (posted) {
        WakeRequestWorker();
    } else if (ChainIdle()) {
        coordinator_->UpdateProgress(0);
    }
    return 1;
}

bool CContentsManager::HandleFileDrop(IDataObject* data, int source, bool podcastMarker) {
    if (!IsClipboardFormatAvailableIn(CF_HDROP, data)) return HandleFeedDrop(data);
    CDropMedium medium(data, CF_HDROP);
    if (!medium.Bytes()) return false;
    std::vector<std::wstring> dropped;
    if (!ReadDroppedPaths(medium.Bytes(), medium.Size(), &dropped)) return false;

    struct Item {
        std::wstring path;
        int32_t prefix;
    };
    std::vector<Item> files;
    files.reserve(dropped.size());
    bool includeHidden = true;
    for (std::wstring& path : dropped) {
        // Each item keeps its own folder: items of one drop may come from different folders.
        const size_t slash = path.find_last_of(L'\\');
        const int32_t prefix = slash == std::wstring::npos ? 0 : int32_t(slash + 1);
        const DWORD attributes = GetFileAttributesW(AddLongPathPrefix(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) includeHidden = (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
        const bool folder = attributes != INVALID_FILE_ATTRIBUTES ? (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                                                                  : FolderExists(path);
        if (folder) {
            std::vector<std::wstring> below;
            std::wstring walked = path;
            if (!walked.empty() && walked.back() == L'\\') walked.pop_back();
            EnumFilesRecursive(walked, &below, includeHidden);
            for (std::wstring& file : below) files.push_back(Item{std::move(file), prefix});
        } else {
            files.push_back(Item{std::move(path), prefix});
        }
    }

    std::vector<Item> subscriptions;
    if (podcastMarker) {
        for (const Item& file : files) {
            if (IsPcastFile(file.path.c_str())) subscriptions.push_back(file);
        }
        if (!subscriptions.empty()) files.assign(1, subscriptions.front());
    }

    bool queued = false;
    bool sawITunesFile = false;
    for (const Item& file : files) {
        if (source == kDragSourceITunes && podcastMarker && IsPcastFile(file.path.c_str())) {
            {
                CScopedLock lock(clientLock_);
                if (EnsureClient() && client_->Connect()) {
                    announcedPodcasts_ = client_->CountPodcasts();
                    RaiseAnnounced(announcedPodcasts_);
                    client_->Release();
                }
            }
            for (const Item& subscription : subscriptions) {
                QueueRequest(Request{subscription.path, 5, subscription.prefix});
                RaiseAnnounced(1);
            }
            QueueRequest(Request{std::wstring(), 6, file.prefix});
            queued = true;
        } else if (source == kDragSourceITunes) {
            QueueRequest(Request{file.path, 3, file.prefix});
            RaiseAnnounced(1);
            sawITunesFile = true;
            queued = true;
        } else {
            QueueRequest(Request{file.path, source == kDragSourceOwnApplication ? 9 : 1, file.prefix});
            RaiseAnnounced(1);
            queued = true;
        }
    }
    ProgressChanged();
    if (source == kDragSourceITunes && sawITunesFile) QueueRequest(Request{std::wstring(), 4, 0});
    return queued;
}

bool CContentsManager::HandleITunesDrop(IDataObject* data) {
    std::wstring name;
    bool fromListName = false;
    if (!ReadUnicodeText(data, &name)) {
        CDropMedium medium(data, Registered(L"iTunesObjectListName"));
        // The name starts 12 bytes into the block; a block no longer than that holds none.
        if (!medium.Bytes() || medium.Size() <= 12) return false;
        name = BoundedWideText(static_cast<const BYTE*>(medium.Bytes()) + 12, medium.Size() - 12);
        fromListName = true;
    }
    int32_t tracks = 0;
    {
        CScopedLock lock(clientLock_);
        if (!EnsureClient() || !client_->Connect()) return false;
        tracks = client_->CountTracks(name);
        if (tracks == 0 && fromListName && name.size() >= 2) {
            name.erase(0, 2);
            tracks = client_->CountTracks(name);
        }
        client_->Release();
    }
    if (tracks <= 0) return false;
    RaiseAnnounced(tracks);
    ProgressChanged();
    QueueRequest(Request{name, 7, tracks});
    return true;
}

bool CContentsManager::HandleFeedDrop(IDataObject* data) {
    CDropMedium medium(data, Registered(L"UniformResourceLocator"));
    if (!medium.Bytes()) return false;
    const char* text = static_cast<const char*>(medium.Bytes());
    size_t length = 0;
    while (length < medium.Size() && text[length]) ++length;
    std::wstring address;
    Utf8ToWide(std::string(text, length), &address);
    // Failing to write is not reported: the per-path work refuses a missing file later.
    const std::wstring path = WriteFeedListFile(DataFolder(), L"Dropped RSS feed", std::wstring(), address);
    QueueRequest(Request{path, 8, 0});
    RaiseAnnounced(1);
    ProgressChanged();
    return true;
}

bool CContentsManager::IncludeHiddenFor(const std::wstring& path, bool previous) {
    const DWORD attributes = GetFileAttributesW(AddLongPathPrefix(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return previous;
    return (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
}
