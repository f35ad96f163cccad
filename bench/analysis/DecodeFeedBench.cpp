// Seconds of audio decoded and fed to the (simulated) analysis engine per second of wall time,
// song after song through the analysis stage. scripts/bench.sh measures ffmpeg decoding the same
// file to nothing and passes its rate in QB_FFMPEG_DECODE_RATE; the goal is half of it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/BenchSupport.h"
#include "library/analysis/AnalysisManagerGroup.h"
#include "library/content/TNContentHandler.h"
#include "library/media/decode/ITranscode2.h"

namespace {

typedef HRESULT(STDAPICALLTYPE* ServerEntry)();

class CCountingEnd : public CTNContentHandler {
public:
    void PostContent(CTNContent* content) override {
        if (content->byteArray) InterlockedIncrement(&analysed);
        delete content;
        InterlockedIncrement(&arrived);
    }
    volatile LONG arrived = 0;
    volatile LONG analysed = 0;
};

std::wstring BesideProgram(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring module(path);
    return module.substr(0, module.find_last_of(L"\\/") + 1) + name;
}

bool Register(const wchar_t* module, const char* entry) {
    HMODULE server = LoadLibraryW(BesideProgram(module).c_str());
    if (!server) return false;
    auto call = reinterpret_cast<ServerEntry>(reinterpret_cast<void*>(GetProcAddress(server, entry)));
    return call && SUCCEEDED(call());
}

// Seconds of wall time for `songs` analyses of the file.
double Round(CAnalysisManagerGroup& group, CCountingEnd& end, const std::wstring& path, int songs) {
    const LONG before = end.arrived;
    const double start = bench::Now();
    for (int i = 0; i < songs; ++i) {
        CTNContent* song = new CTNContent(0, CTNContent::kSong);
        song->sourcePath = path;
        song->fileType = 0;
        group.PostContent(song);
    }
    while (end.arrived < before + songs) Sleep(1);
    return bench::Now() - start;
}

}  // namespace

int main(int argc, char** argv) {
    // The song (a 3-second MP3 tone by default) and its length in seconds.
    const std::string file = argc > 1 ? argv[1] : QB_BENCH_DATA_DIR "/decode/tone-id3-lame.mp3";
    const double songSeconds = argc > 2 ? std::atof(argv[2]) : 3.0;
    constexpr int kSongs = 40;
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (!Register(L"QbStandinAnalysis.dll", "DllRegisterServer") || FAILED(CreateTranscodeSingleModeEvent())) {
        std::printf("the simulated analysis engine could not be registered\n");
        return 1;
    }
    CAnalysisManagerGroup group;
    CCountingEnd end;
    group.AddManager();
    group.SetNext(&end);
    group.Start();
    const std::wstring path(file.begin(), file.end());
    Round(group, end, path, 3);  // cold round, discarded
    double best = 1e9;
    for (int round = 1; round <= 3; ++round) {
        const double seconds = Round(group, end, path, kSongs);
        std::printf("round %d: %.1f s of audio per second\n", round, kSongs * songSeconds / seconds);
        if (seconds < best) best = seconds;
    }
    group.Stop();
    Register(L"QbStandinAnalysis.dll", "DllUnregisterServer");
    const double rate = kSongs * songSeconds / best;
    std::printf("songs analysed with a payload: %ld of %ld\n", static_cast<long>(end.analysed),
                static_cast<long>(end.arrived));
    const char* baseline = std::getenv("QB_FFMPEG_DECODE_RATE");
    if (!baseline) {
        std::printf("decode and feed: %.1f s of audio per second (no ffmpeg figure given)\n", rate);
        return 0;
    }
    const double ffmpegRate = std::atof(baseline);
    const double ratio = ffmpegRate > 0 ? rate / ffmpegRate : 0;
    std::printf("decode and feed: %.1f s/s, ffmpeg %.1f s/s, ratio %.2f, goal >= 0.50: %s\n", rate, ffmpegRate, ratio,
                ratio >= 0.5 ? "met" : "missed");
    return 0;
}
