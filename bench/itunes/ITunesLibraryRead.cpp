// Reads a named playlist of 20,000 file tracks from the iTunes stand-in, an out-of-process server,
// with CSushiController::ReadTracks, and prints the tracks read per second. The share of that time
// spent in cross-process calls is measured by making the same calls for the first 1,000 tracks
// (item, kind, file-track interface, location, name, artist, album, podcast flag, artwork count)
// by name, timed one by one, and comparing their time per track with the read's.
//   bench_itunes_read [tracks]      default 20,000
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/BenchSupport.h"
#include "library/content/TNContent.h"
#include "library/itunes/DispatchCall.h"
#include "library/itunes/SushiController.h"
#include "tests/itunes/ITunesStandinServer.h"

namespace {

constexpr int kSampledTracks = 1000;
const IID kFileTrackInterface = {0x00D7FE99, 0x7868, 0x4CC7, {0xAD, 0x9E, 0xAC, 0xFD, 0x70, 0xD0, 0x95, 0x66}};

std::string Library(int tracks) {
    std::string text = "version\t7\t1\nplaylist\tBench\n";
    for (int i = 0; i < tracks; ++i) {
        const std::string n = std::to_string(i);
        text += "file\tC:\\Music\\Artist " + std::to_string(i / 200) + "\\Album " + std::to_string(i / 20) +
                "\\Track " + n + ".mp3\tTrack " + n + "\tArtist " + std::to_string(i / 200) + "\tAlbum " +
                std::to_string(i / 20) + "\t0\n";
    }
    return text;
}

// The track collection of the "Bench" playlist, reached by the client's own path.
bool BenchTracks(IDispatch* application, CScopedComPtr<IDispatch>* tracks) {
    CScopedComPtr<IDispatch> sources, source, playlists, playlist;
    return GetObjectProperty(application, L"Sources", &sources) == S_OK && GetItem(sources.Get(), 1, &source) == S_OK &&
           GetObjectProperty(source.Get(), L"Playlists", &playlists) == S_OK &&
           GetItemByName(playlists.Get(), L"Bench", &playlist) == S_OK &&
           GetObjectProperty(playlist.Get(), L"Tracks", tracks) == S_OK;
}

// Seconds inside the calls that ReadTracks makes per track, summed over the first tracks.
double TimedCalls(IDispatch* tracks, int count) {
    double inCalls = 0;
    for (LONG index = 1; index <= count; ++index) {
        CScopedComPtr<IDispatch> track, fileTrack, artworks;
        LONG kind = 0, artworkCount = 0;
        bool podcast = false;
        std::wstring text;
        double start = bench::Now();
        GetItem(tracks, index, &track);
        GetLongProperty(track.Get(), L"Kind", &kind);
        track->QueryInterface(kFileTrackInterface, reinterpret_cast<void**>(fileTrack.Receive()));
        for (const wchar_t* member : {L"Location", L"Name", L"Artist", L"Album"}) {
            GetTextProperty(fileTrack.Get(), member, &text);
        }
        GetBoolProperty(fileTrack.Get(), L"Podcast", &podcast);
        GetObjectProperty(fileTrack.Get(), L"Artwork", &artworks);
        GetLongProperty(artworks.Get(), L"Count", &artworkCount);
        inCalls += bench::Now() - start;
    }
    return inCalls;
}

}  // namespace

int main(int argc, char** argv) {
    const int tracks = argc > 1 && atoi(argv[1]) > 0 ? atoi(argv[1]) : 20000;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    int status = 1;
    {
        CITunesStandinServer server(std::wstring(temp) + L"qb_bench_itunes_read");
        std::unique_ptr<CSushiController> client;
        if (!server.UseLibrary(Library(tracks)) || !server.Register() || !(client = ConnectToStandin(server.Folder()))) {
            printf("could not start the iTunes stand-in\n");
        } else {
            int records = 0;
            const double start = bench::Now();
            const bool read = client->ReadTracks(L"Bench", [&](CTNContent* content) {
                records += content->kind == CTNContent::kSong;
                delete content;
            });
            const double readSeconds = bench::Now() - start;

            CScopedComPtr<IDispatch> application;
            CScopedComPtr<IDispatch> collection;
            HRESULT hr = CoCreateInstance({0xDC0C2640, 0x1415, 0x4644, {0x87, 0x5C, 0x6F, 0x4D, 0x76, 0x98, 0x39, 0xBA}},
                                          nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                          reinterpret_cast<void**>(application.Receive()));
            if (!read || records != tracks || FAILED(hr) || !BenchTracks(application.Get(), &collection)) {
                printf("the read failed: %d of %d records\n", records, tracks);
            } else {
                const int sampled = tracks < kSampledTracks ? tracks : kSampledTracks;
                const double callSecondsPerTrack = TimedCalls(collection.Get(), sampled) / sampled;
                const double readSecondsPerTrack = readSeconds / tracks;
                printf("ReadTracks of %d tracks: %.1f s, %.0f tracks per second\n", tracks, readSeconds,
                       tracks / readSeconds);
                printf("cross-process calls: %.2f ms per track of %.2f ms, %.0f%% of the read\n",
                       1000 * callSecondsPerTrack, 1000 * readSecondsPerTrack,
                       100.0 * callSecondsPerTrack / readSecondsPerTrack);
                status = 0;
            }
        }
    }
    CoUninitialize();
    return status;
}
