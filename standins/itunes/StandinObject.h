#pragma once
// One object of the stand-in's library: a collection, the library source, a playlist or a track.
// Each answers only the members of what it stands for; the rest are E_NOTIMPL.

#include "ITunesStandin.h"
#include "platform/com/CServerObject.h"
#include "platform/com/CTypeLibDispatch.h"

#include <memory>
#include <vector>

class CStandinLibrary;
struct StandinTrack;

class CStandinObject final : public CServerObject, public CTypeLibDispatch<IITFileOrCDTrack> {
public:
    enum class Type {
        SourceCollection, Source, PlaylistCollection, Playlist, TrackCollection, Track, ArtworkCollection, Artwork,
        SearchResult
    };

    // A new object as IDispatch (index: the playlist or track it stands for).
    static HRESULT Create(const std::shared_ptr<const CStandinLibrary>& library, Type type, size_t index,
                          IDispatch** result);
    // A collection of the found tracks.
    static HRESULT CreateSearchResult(const std::shared_ptr<const CStandinLibrary>& library,
                                      std::vector<size_t> found, IDispatch** result);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    QB_SERVER_OBJECT_REFCOUNT

    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override;
    HRESULT STDMETHODCALLTYPE get_Item(LONG index, IDispatch** item) override;
    HRESULT STDMETHODCALLTYPE get_ItemByName(BSTR name, IDispatch** item) override;
    HRESULT STDMETHODCALLTYPE get_Kind(LONG* kind) override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_Artist(BSTR* artist) override;
    HRESULT STDMETHODCALLTYPE get_Album(BSTR* album) override;
    HRESULT STDMETHODCALLTYPE get_Playlists(IDispatch** playlists) override;
    HRESULT STDMETHODCALLTYPE get_Tracks(IDispatch** tracks) override;
    HRESULT STDMETHODCALLTYPE get_Location(BSTR* location) override;
    HRESULT STDMETHODCALLTYPE get_Podcast(VARIANT_BOOL* isPodcast) override;
    HRESULT STDMETHODCALLTYPE get_Artwork(IDispatch** artworks) override;
    HRESULT STDMETHODCALLTYPE get_Format(LONG* format) override;
    // Writes a small file whose text names the picture's format.
    HRESULT STDMETHODCALLTYPE SaveArtworkToFile(BSTR path) override;
    HRESULT STDMETHODCALLTYPE Search(BSTR text, LONG field, IDispatch** tracks) override;

private:
    CStandinObject(std::shared_ptr<const CStandinLibrary> library, Type type, size_t index);
    ~CStandinObject() override = default;

    // The track this object (or, for artwork, its owner) stands for; null when it is no track.
    const StandinTrack* OwningTrack() const;
    // The track this object stands for, or null when it is no track.
    const StandinTrack* Track() const;
    const StandinTrack* FileTrack() const;
    // The library's track indexes a track collection holds.
    const std::vector<size_t>& CollectionTracks() const;

    const std::shared_ptr<const CStandinLibrary> library_;
    const Type type_;
    const size_t index_;
    std::vector<size_t> found_;  // a search result's tracks
};
