#pragma once
// The main program's client of the iTunes automation server (an outside, out-of-process server).
// It finds tracks of the iTunes library and turns each file track into a CTNContent record. Every
// member is called by name through IDispatch, so the client relies only on the published names.

#include "library/contents/ITunesLibraryClient.h"
#include "library/util/ScopedCom.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CSushiController : public IITunesLibraryClient {
public:
    enum ConnectResult : int32_t {
        kConnected = 0,
        kNotCreated = 1,
        kVersionRefused = 2,
        kNoPictureFolder = 5,
    };

    // Cover pictures are saved into the picture folder; without one the client never connects.
    explicit CSushiController(std::wstring pictureFolder);
    ~CSushiController() override;

    // The contents manager's client factory (see ITunesLibraryClientFactory): the coordinator
    // hands this to CContentsManager::SetITunesClientFactory.
    static std::unique_ptr<IITunesLibraryClient> Create(const std::wstring& pictureFolder);

    // Connects to the application and checks its version; one of ConnectResult.
    int32_t Open();

    bool Connect() override { return Open() == kConnected; }
    void Release() override;
    bool Enumerate(const std::vector<std::wstring>& wantedPaths, const ItemSink& sink,
                   const std::wstring& searchName) override;
    int32_t CountTracks(const std::wstring& name) override;
    bool ReadTracks(const std::wstring& name, const ItemSink& sink) override;
    // The contents manager's podcast count and step are the current selection's.
    int32_t CountPodcasts() override { return CountSelectedTracks(); }
    bool ReadPodcasts(int32_t, const ItemSink& sink) override { return TransferSelectedTracks(sink); }
    void Cancel() override;

    bool TransferSelectedTracks(const ItemSink& sink);
    int32_t CountSelectedTracks();
    // A new record for a file track, or null when its location or tags cannot be read.
    CTNContent* ReadTrack(IDispatch* fileTrack);

private:
    // The track collection of the named playlist of the library source; false when there is none.
    bool FindPlaylistTracks(const std::wstring& name, CScopedComPtr<IDispatch>* tracks, LONG* count);
    // Walks a track collection, handing on a record for each file track whose location is wanted
    // and striking it from the list; true once the list is empty.
    bool WalkTracks(IDispatch* tracks, std::vector<std::wstring>* wanted, const ItemSink& sink);
    // The file-track interface of a track of kind 1 and its location; false for any other track.
    bool FileTrackOf(IDispatch* track, CScopedComPtr<IDispatch>* fileTrack, std::wstring* location);
    void ClearCancel();
    bool Cancelled();

    CScopedComPtr<IDispatch> application_;
    const std::wstring pictureFolder_;
    // The last album read; the library search looks for it.
    std::wstring searchName_;
    std::mutex cancelLock_;
    bool cancel_ = false;
};
