#include "StandinObject.h"

#include "StandinLibrary.h"
#include "platform/com/InterfaceTable.h"

#include <fstream>
#include <new>
#include <string>

namespace {

// Track kinds of the automation interface.
const LONG kFileTrack = 1;
const LONG kUrlTrack = 3;
const LONG kLibrarySource = 1;

CTypeInfoCache& ObjectTypeInfo() {
    static CTypeInfoCache typeInfo(LIBID_QbITunesStandinLib, 1, 0, IID_IITFileOrCDTrack);
    return typeInfo;
}

HRESULT Text(const std::wstring& text, BSTR* result) {
    if (!result) return E_POINTER;
    *result = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *result ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

CStandinObject::CStandinObject(std::shared_ptr<const CStandinLibrary> library, Type type, size_t index)
    : CTypeLibDispatch<IITFileOrCDTrack>(ObjectTypeInfo()), library_(std::move(library)), type_(type), index_(index) {}

HRESULT CStandinObject::Create(const std::shared_ptr<const CStandinLibrary>& library, Type type, size_t index,
                               IDispatch** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    CStandinObject* created = new (std::nothrow) CStandinObject(library, type, index);
    if (!created) return E_OUTOFMEMORY;
    *result = static_cast<IITFileOrCDTrack*>(created);
    return S_OK;
}

HRESULT CStandinObject::CreateSearchResult(const std::shared_ptr<const CStandinLibrary>& library,
                                           std::vector<size_t> found, IDispatch** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    CStandinObject* created = new (std::nothrow) CStandinObject(library, Type::SearchResult, 0);
    if (!created) return E_OUTOFMEMORY;
    created->found_ = std::move(found);
    *result = static_cast<IITFileOrCDTrack*>(created);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CStandinObject::QueryInterface(REFIID iid, void** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    // Only a file track gives the file-track interface, as the real server does.
    if (IsEqualIID(iid, IID_IITFileOrCDTrack) && !FileTrack()) return E_NOINTERFACE;
    static const InterfaceEntry<CStandinObject> kInterfaces[] = {
        {&IID_IITFileOrCDTrack, [](CStandinObject* self) -> IUnknown* { return static_cast<IITFileOrCDTrack*>(self); }},
        {&IID_IDispatch, [](CStandinObject* self) -> IUnknown* { return static_cast<IITFileOrCDTrack*>(self); }},
    };
    return QueryInterfaceFromTable(this, kInterfaces, iid, result);
}

const StandinTrack* CStandinObject::Track() const {
    if (type_ != Type::Track) return nullptr;
    return &library_->tracks[index_];
}

const StandinTrack* CStandinObject::OwningTrack() const {
    if (type_ != Type::Track && type_ != Type::ArtworkCollection && type_ != Type::Artwork) return nullptr;
    return &library_->tracks[index_];
}

const std::vector<size_t>& CStandinObject::CollectionTracks() const {
    return type_ == Type::SearchResult ? found_ : library_->playlists[index_].tracks;
}

const StandinTrack* CStandinObject::FileTrack() const {
    const StandinTrack* track = Track();
    return track && track->isFile ? track : nullptr;
}

HRESULT STDMETHODCALLTYPE CStandinObject::get_Count(LONG* count) {
    if (!count) return E_POINTER;
    switch (type_) {
        case Type::SourceCollection: *count = 1; return S_OK;
        case Type::ArtworkCollection: *count = OwningTrack()->artworkFormat >= 0 ? 1 : 0; return S_OK;
        case Type::PlaylistCollection: *count = static_cast<LONG>(library_->playlists.size()); return S_OK;
        case Type::TrackCollection:
        case Type::SearchResult: *count = static_cast<LONG>(CollectionTracks().size()); return S_OK;
        default: return E_NOTIMPL;
    }
}

HRESULT STDMETHODCALLTYPE CStandinObject::get_Item(LONG index, IDispatch** item) {
    if (!item) return E_POINTER;
    *item = nullptr;
    LONG count = 0;
    HRESULT hr = get_Count(&count);
    if (FAILED(hr)) return hr;
    if (index < 1 || index > count) return E_INVALIDARG;
    const size_t position = static_cast<size_t>(index - 1);
    switch (type_) {
        case Type::SourceCollection: return Create(library_, Type::Source, 0, item);
        case Type::ArtworkCollection: return Create(library_, Type::Artwork, index_, item);
        case Type::PlaylistCollection: return Create(library_, Type::Playlist, position, item);
        default:
            if (library_->itemDelayMs) Sleep(library_->itemDelayMs);
            return Create(library_, Type::Track, CollectionTracks()[position], item);
    }
}

HRESULT STDMETHODCALLTYPE CStandinObject::get_ItemByName(BSTR name, IDispatch** item) {
    if (!item) return E_POINTER;
    *item = nullptr;
    if (type_ != Type::PlaylistCollection) return E_NOTIMPL;
    const std::wstring wanted(name ? name : L"", SysStringLen(name));
    const std::vector<StandinPlaylist>& playlists = library_->playlists;
    for (size_t index = 0; index < playlists.size(); ++index) {
        if (playlists[index].name == wanted) return Create(library_, Type::Playlist, index, item);
    }
    // Like the real server: success with no object.
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CStandinObject::get_Kind(LONG* kind) {
    if (!kind) return E_POINTER;
    if (type_ == Type::Source) {
        *kind = kLibrarySource;
        return S_OK;
    }
    const StandinTrack* track = Track();
    if (!track) return E_NOTIMPL;
    if (track->stalls) {
        library_->Stall();
        return E_FAIL;
    }
    *kind = track->isFile ? kFileTrack : kUrlTrack;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CStandinObject::get_Name(BSTR* name) {
    if (type_ == Type::Source) return Text(L"Library", name);
    if (type_ == Type::Playlist) return Text(library_->playlists[index_].name, name);
    const StandinTrack* track = Track();
    if (!track) return E_NOTIMPL;
    return track->nameFails ? E_FAIL : Text(track->name, name);
}

HRESULT STDMETHODCALLTYPE CStandinObject::get_Artist(BSTR* artist) {
    const StandinTrack* track = Track();
    return track ? Text(track->artist, artist) : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CStandinObject::get_Album(BSTR* album) {
    const StandinTrack* track = Track();
    return track ? Text(track->album, album) : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CStandinObject::get_Playlists(IDispatch** playlists) {
    if (type_ != Type::Source) return E_NOTIMPL;
    return Create(library_, Type::PlaylistCollection, 0, playlists);
}

HRESULT STDMETHODCALLTYPE CStandinObject::get_Tracks(IDispatch** tracks) {
    if (type_ != Type::Playlist) return E_NOTIMPL;
    library_->Log(L"Tracks " + library_->playlists[index_].name);
    return Create(library_, Type::TrackCollection, index_, tracks);
}

HRESULT STDMETHODCALLTYPE CStandinObject::get_Location(BSTR* location) {
    const StandinTrack* track = FileTrack();
    return track ? Text(track->location, location) : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CStandinObject::get_Podcast(VARIANT_BOOL* isPodcast) {
    if (!isPodcast) return E_POINTER;
    const StandinTrack* track = FileTrack();
    if (!track) return E_NOTIMPL;
    *isPodcast = track->isPodcast ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CStandinObject::get_Artwork(IDispatch** artworks) {
    if (!FileTrack()) return E_NOTIMPL;
    return Create(library_, Type::ArtworkCollection, index_, artworks);
}

HRESULT STDMETHODCALLTYPE CStandinObject::get_Format(LONG* format) {
    if (!format) return E_POINTER;
    if (type_ != Type::Artwork) return E_NOTIMPL;
    *format = OwningTrack()->artworkFormat;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CStandinObject::SaveArtworkToFile(BSTR path) {
    if (type_ != Type::Artwork) return E_NOTIMPL;
    if (!path || SysStringLen(path) == 0) return E_INVALIDARG;
    std::ofstream file(path, std::ios::binary);
    file << "artwork format " << OwningTrack()->artworkFormat;
    return file ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE CStandinObject::Search(BSTR text, LONG field, IDispatch** tracks) {
    if (!tracks) return E_POINTER;
    *tracks = nullptr;
    if (type_ != Type::Playlist) return E_NOTIMPL;
    const std::wstring wanted(text ? text : L"", SysStringLen(text));
    library_->Log(L"Search " + std::to_wstring(field) + L" " + wanted);
    std::vector<size_t> found = library_->Search(index_, wanted, field);
    // Like the real server: nothing found is success with no object.
    if (found.empty()) return S_OK;
    return CreateSearchResult(library_, std::move(found), tracks);
}
