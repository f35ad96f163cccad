#include "library/itunes/SushiController.h"

#include "library/content/GuidString.h"
#include "library/content/TNContent.h"
#include "library/itunes/DispatchCall.h"

#include <algorithm>
#include <memory>
#include <new>

namespace {

const CLSID kApplicationClass = {0xDC0C2640, 0x1415, 0x4644, {0x87, 0x5C, 0x6F, 0x4D, 0x76, 0x98, 0x39, 0xBA}};
const IID kApplicationInterface = {0x9DD6680B, 0x3EDC, 0x40DB, {0xA7, 0x71, 0xE6, 0xFE, 0x48, 0x32, 0xE3, 0x4A}};
const IID kFileTrackInterface = {0x00D7FE99, 0x7868, 0x4CC7, {0xAD, 0x9E, 0xAC, 0xFD, 0x70, 0xD0, 0x95, 0x66}};

const LONG kFileTrackKind = 1;
const LONG kLibrarySourceKind = 1;
const LONG kOldestMajorVersion = 7;
const LONG kOldestMinorVersion = 1;
// Library search fields, tried in this order: albums, artists, visible fields, composers.
const LONG kSearchFields[] = {3, 2, 1, 4};

const wchar_t* ArtworkExtension(LONG format) {
    switch (format) {
        case 0: return L"tmp";
        case 1: return L"jpg";
        case 2: return L"png";
        case 3: return L"bmp";
        default: return nullptr;
    }
}

CTNContent* NewEndMarker() { return new (std::nothrow) CTNContent(0, CTNContent::kITunesTrack); }

}  // namespace

CSushiController::CSushiController(std::wstring pictureFolder) : pictureFolder_(std::move(pictureFolder)) {}

CSushiController::~CSushiController() { Release(); }

std::unique_ptr<IITunesLibraryClient> CSushiController::Create(const std::wstring& pictureFolder) {
    return std::unique_ptr<IITunesLibraryClient>(new (std::nothrow) CSushiController(pictureFolder));
}

int32_t CSushiController::Open() {
    if (pictureFolder_.empty()) return kNoPictureFolder;
    Release();
    HRESULT hr = CoCreateInstance(kApplicationClass, nullptr, CLSCTX_LOCAL_SERVER, kApplicationInterface,
                                  reinterpret_cast<void**>(application_.Receive()));
    if (hr != S_OK) {
        application_.Reset();
        return kNotCreated;
    }
    // The server answers whether it is at least the version asked for: VARIANT_TRUE is compatible.
    CScopedVariant compatible;
    hr = DispatchCall(application_.Get(), L"CheckVersion", DISPATCH_METHOD, nullptr,
                      {kOldestMajorVersion, kOldestMinorVersion}, compatible.Receive());
    if (hr != S_OK || compatible.Type() != VT_BOOL || compatible.Get().boolVal != VARIANT_TRUE) {
        Release();
        return kVersionRefused;
    }
    return kConnected;
}

void CSushiController::Release() {
    application_.Reset();
    searchName_.clear();
}

void CSushiController::Cancel() {
    std::lock_guard<std::mutex> hold(cancelLock_);
    cancel_ = true;
}

void CSushiController::ClearCancel() {
    std::lock_guard<std::mutex> hold(cancelLock_);
    cancel_ = false;
}

bool CSushiController::Cancelled() {
    std::lock_guard<std::mutex> hold(cancelLock_);
    return cancel_;
}

bool CSushiController::FileTrackOf(IDispatch* track, CScopedComPtr<IDispatch>* fileTrack, std::wstring* location) {
    LONG kind = 0;
    if (FAILED(GetLongProperty(track, L"Kind", &kind)) || kind != kFileTrackKind) return false;
    if (FAILED(track->QueryInterface(kFileTrackInterface, reinterpret_cast<void**>(fileTrack->Receive())))) return false;
    if (!location) return true;
    return SUCCEEDED(GetTextProperty(fileTrack->Get(), L"Location", location)) && !location->empty();
}

CTNContent* CSushiController::ReadTrack(IDispatch* fileTrack) {
    std::unique_ptr<CTNContent> content(new (std::nothrow) CTNContent(1, CTNContent::kSong));
    if (!content || !fileTrack) return nullptr;
    if (FAILED(GetTextProperty(fileTrack, L"Location", &content->sourcePath)) ||
        FAILED(GetTextProperty(fileTrack, L"Name", &content->title)) ||
        FAILED(GetTextProperty(fileTrack, L"Artist", &content->artist)) ||
        FAILED(GetTextProperty(fileTrack, L"Album", &content->album))) {
        return nullptr;
    }
    searchName_ = content->album;
    bool podcast = false;
    if (SUCCEEDED(GetBoolProperty(fileTrack, L"Podcast", &podcast)) && podcast) content->isPodcast = 1;

    // The cover picture is optional: any failure leaves the record without one.
    CScopedComPtr<IDispatch> artworks;
    CScopedComPtr<IDispatch> artwork;
    LONG count = 0;
    LONG format = -1;
    if (GetObjectProperty(fileTrack, L"Artwork", &artworks) == S_OK &&
        SUCCEEDED(GetLongProperty(artworks.Get(), L"Count", &count)) && count >= 1 &&
        GetItem(artworks.Get(), 1, &artwork) == S_OK && SUCCEEDED(GetLongProperty(artwork.Get(), L"Format", &format))) {
        if (const wchar_t* extension = ArtworkExtension(format)) {
            std::wstring path = pictureFolder_ + L"\\" + content->id + L"." + extension;
            CScopedVariant ignored;
            if (SUCCEEDED(DispatchCall(artwork.Get(), L"SaveArtworkToFile", DISPATCH_METHOD, path.c_str(), {},
                                       ignored.Receive()))) {
                content->artworkPath = path;
            }
        }
    }
    return content.release();
}

bool CSushiController::WalkTracks(IDispatch* tracks, std::vector<std::wstring>* wanted, const ItemSink& sink) {
    LONG count = 0;
    if (FAILED(GetLongProperty(tracks, L"Count", &count))) return false;
    ClearCancel();
    for (LONG index = 1; index <= count; ++index) {
        if (Cancelled()) return false;
        CScopedComPtr<IDispatch> track;
        CScopedComPtr<IDispatch> fileTrack;
        std::wstring location;
        if (GetItem(tracks, index, &track) != S_OK || !FileTrackOf(track.Get(), &fileTrack, &location)) continue;
        // Whole-path equality: a prefix would let a different track stand in for a wanted one.
        auto match = std::find(wanted->begin(), wanted->end(), location);
        if (match == wanted->end()) continue;
        if (CTNContent* content = ReadTrack(fileTrack.Get())) sink(content);
        wanted->erase(match);
        if (wanted->empty()) return true;
    }
    return wanted->empty();
}

bool CSushiController::Enumerate(const std::vector<std::wstring>& wantedPaths, const ItemSink& sink,
                                 const std::wstring& searchName) {
    if (!application_) return false;
    std::vector<std::wstring> wanted = wantedPaths;
    searchName_.clear();
    bool found = false;
    CScopedComPtr<IDispatch> selection;
    if (GetObjectProperty(application_.Get(), L"SelectedTracks", &selection) == S_OK) {
        found = WalkTracks(selection.Get(), &wanted, sink);
    }
    if (!searchName.empty()) searchName_ = searchName;
    CScopedComPtr<IDispatch> library;
    if (!found && GetObjectProperty(application_.Get(), L"LibraryPlaylist", &library) == S_OK) {
        // A search result is walked only when it holds as many tracks as there are wanted paths.
        for (LONG field : kSearchFields) {
            if (found || searchName_.empty()) break;
            CScopedVariant answer;
            CScopedComPtr<IDispatch> results;
            LONG count = 0;
            if (FAILED(DispatchCall(library.Get(), L"Search", DISPATCH_METHOD, searchName_.c_str(), {field},
                                    answer.Receive())) ||
                TakeObject(&answer, &results) != S_OK || FAILED(GetLongProperty(results.Get(), L"Count", &count))) {
                continue;
            }
            if (static_cast<size_t>(count) == wanted.size()) found = WalkTracks(results.Get(), &wanted, sink);
        }
        CScopedComPtr<IDispatch> tracks;
        if (!found && GetObjectProperty(library.Get(), L"Tracks", &tracks) == S_OK) {
            found = WalkTracks(tracks.Get(), &wanted, sink);
        }
    }
    if (!found) {
        if (CTNContent* marker = NewEndMarker()) sink(marker);
    }
    searchName_.clear();
    return found;
}

bool CSushiController::TransferSelectedTracks(const ItemSink& sink) {
    if (!application_) return false;
    searchName_.clear();
    CScopedComPtr<IDispatch> selection;
    LONG count = 0;
    if (GetObjectProperty(application_.Get(), L"SelectedTracks", &selection) != S_OK ||
        FAILED(GetLongProperty(selection.Get(), L"Count", &count))) {
        return false;
    }
    ClearCancel();
    for (LONG index = 1; index <= count && !Cancelled(); ++index) {
        CScopedComPtr<IDispatch> track;
        CScopedComPtr<IDispatch> fileTrack;
        std::wstring location;
        if (GetItem(selection.Get(), index, &track) != S_OK || !FileTrackOf(track.Get(), &fileTrack, &location)) continue;
        if (CTNContent* content = ReadTrack(fileTrack.Get())) sink(content);
    }
    if (CTNContent* marker = NewEndMarker()) sink(marker);
    searchName_.clear();
    return true;
}

int32_t CSushiController::CountSelectedTracks() {
    if (!application_) return 0;
    CScopedComPtr<IDispatch> selection;
    LONG count = 0;
    if (GetObjectProperty(application_.Get(), L"SelectedTracks", &selection) != S_OK ||
        FAILED(GetLongProperty(selection.Get(), L"Count", &count))) {
        return 0;
    }
    return count;
}

bool CSushiController::FindPlaylistTracks(const std::wstring& name, CScopedComPtr<IDispatch>* tracks, LONG* count) {
    if (!application_) return false;
    CScopedComPtr<IDispatch> sources;
    LONG sourceCount = 0;
    if (GetObjectProperty(application_.Get(), L"Sources", &sources) != S_OK ||
        FAILED(GetLongProperty(sources.Get(), L"Count", &sourceCount))) {
        return false;
    }
    CScopedComPtr<IDispatch> library;
    for (LONG index = 1; index <= sourceCount && !library; ++index) {
        CScopedComPtr<IDispatch> source;
        LONG kind = 0;
        if (GetItem(sources.Get(), index, &source) != S_OK || FAILED(GetLongProperty(source.Get(), L"Kind", &kind))) {
            return false;
        }
        if (kind == kLibrarySourceKind) library = std::move(source);
    }
    CScopedComPtr<IDispatch> playlists;
    CScopedComPtr<IDispatch> playlist;
    return library && GetObjectProperty(library.Get(), L"Playlists", &playlists) == S_OK &&
           GetItemByName(playlists.Get(), name.c_str(), &playlist) == S_OK &&
           GetObjectProperty(playlist.Get(), L"Tracks", tracks) == S_OK &&
           SUCCEEDED(GetLongProperty(tracks->Get(), L"Count", count));
}

int32_t CSushiController::CountTracks(const std::wstring& name) {
    CScopedComPtr<IDispatch> tracks;
    LONG count = 0;
    return FindPlaylistTracks(name, &tracks, &count) ? count : 0;
}

bool CSushiController::ReadTracks(const std::wstring& name, const ItemSink& sink) {
    searchName_.clear();
    std::wstring groupId;
    CreateGuidString(&groupId);
    CScopedComPtr<IDispatch> tracks;
    LONG count = 0;
    if (!FindPlaylistTracks(name, &tracks, &count)) return false;
    ClearCancel();
    // Records wait until the walk is over, when the group size is known; placeholders go at once.
    std::vector<std::unique_ptr<CTNContent>> read;
    for (LONG index = 1; index <= count; ++index) {
        if (Cancelled()) {
            searchName_.clear();
            return false;
        }
        CScopedComPtr<IDispatch> track;
        CScopedComPtr<IDispatch> fileTrack;
        if (GetItem(tracks.Get(), index, &track) != S_OK || !FileTrackOf(track.Get(), &fileTrack, nullptr)) {
            if (CTNContent* placeholder = NewEndMarker()) sink(placeholder);
            continue;
        }
        std::unique_ptr<CTNContent> content(ReadTrack(fileTrack.Get()));
        if (!content) {
            // The manager announced this track too: a placeholder keeps its count balanced.
            if (CTNContent* placeholder = NewEndMarker()) sink(placeholder);
            continue;
        }
        content->playlistMemberIndex = static_cast<int32_t>(read.size() + 1);
        content->playlistName = name;
        content->playlistKey = groupId;
        read.push_back(std::move(content));
    }
    for (std::unique_ptr<CTNContent>& content : read) {
        content->playlistMemberCount = static_cast<int32_t>(read.size());
        sink(content.release());
    }
    searchName_.clear();
    return true;
}
