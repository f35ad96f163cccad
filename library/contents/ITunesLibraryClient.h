#pragma once
// What the contents manager asks of the iTunes library client. The manager calls every operation
// under its client lock on its request worker (or the UI thread for drops); only Cancel comes from
// another thread, so implementations guard their cancel flag themselves.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CTNContent;

class IITunesLibraryClient {
public:
    // Receives each record the client makes; ownership passes with it.
    using ItemSink = std::function<void(CTNContent*)>;

    virtual ~IITunesLibraryClient() = default;
    virtual bool Connect() = 0;
    virtual void Release() = 0;
    // Hands on a record for each wanted path found in iTunes; true when all were found.
    virtual bool Enumerate(const std::vector<std::wstring>& wantedPaths, const ItemSink& sink,
                           const std::wstring& searchName) = 0;
    // Number of tracks of a named selection; 0 when it is not there.
    virtual int32_t CountTracks(const std::wstring& name) = 0;
    // Hands on a record (or a kind-11 placeholder) for each track; false when the selection
    // cannot be read or the walk was cancelled.
    virtual bool ReadTracks(const std::wstring& name, const ItemSink& sink) = 0;
    virtual int32_t CountPodcasts() = 0;
    // Hands on the records of the subscribed podcasts.
    virtual bool ReadPodcasts(int32_t parameter, const ItemSink& sink) = 0;
    // Stops a running walk; callable from any thread.
    virtual void Cancel() = 0;
};

// Makes the client on first use, with the per-user data folder; null when it cannot.
using ITunesLibraryClientFactory =
    std::function<std::unique_ptr<IITunesLibraryClient>(const std::wstring& dataFolder)>;
