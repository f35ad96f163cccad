// Converts one movie with the movie converter, as the convert stage does, and prints what the
// converter reported: every progress value, the encode size and the result. With --abort it
// aborts the conversion as soon as the run has begun and prints how long Start took to return.
// With --abort-storm N it converts N times while another thread keeps calling Abort at uneven
// intervals, from the first start on. With --reference LIMIT it renders the movie into a graph of
// its own and runs the reference check of the AC-3 decoding on it (the time limit in ms).
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <process.h>

#include "library/media/convert/GraphTools.h"
#include "library/media/convert/QBCONVMovie.h"
#include "library/util/ModuleFolder.h"

namespace {

class CPrintingListener : public IQBCONVMovie::IQBCONVMovieListener {
public:
    HANDLE started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    void OnStart(const wchar_t*) override { std::printf("start\n"); }
    void OnProgress(const wchar_t*, int32_t percent) override {
        std::printf("progress %d\n", static_cast<int>(percent));
        std::fflush(stdout);
        SetEvent(started);
    }
    void OnComplete(const wchar_t*) override { std::printf("complete\n"); }
    void OnError(const wchar_t*) override { std::printf("error\n"); }
    void OnNotify(int32_t) override {}
};

struct AbortRequest {
    CQBCONVMovie* converter;
    HANDLE started;
    HANDLE finished;
    ULONGLONG abortedAt;
};

unsigned __stdcall AbortWhenStarted(void* context) {
    AbortRequest* request = static_cast<AbortRequest*>(context);
    // A conversion that fails before its run reports no progress: nothing to abort then.
    const HANDLE events[] = {request->started, request->finished};
    if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) return 0;
    Sleep(300);  // well inside the run
    request->abortedAt = GetTickCount64();
    request->converter->Abort();
    return 0;
}

// Counts the Abort calls that have begun, so a run can tell whether one came while it ran.
std::atomic<long> g_abortsBegun{0};

class CCountingListener : public IQBCONVMovie::IQBCONVMovieListener {
public:
    HANDLE started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> runsReachingTheGraph{0};
    // The aborts begun when the current run reported its start of progress (-1 before that).
    std::atomic<long> abortsAtProgress{-1};
    void OnStart(const wchar_t*) override { SetEvent(started); }
    void OnProgress(const wchar_t*, int32_t percent) override {
        if (percent != 0) return;
        ++runsReachingTheGraph;
        abortsAtProgress = g_abortsBegun.load();
    }
    void OnComplete(const wchar_t*) override {}
    void OnError(const wchar_t*) override {}
    void OnNotify(int32_t) override {}
};

struct AbortStorm {
    CQBCONVMovie* converter;
    HANDLE started;
    HANDLE finished;
    long aborts;
};

unsigned __stdcall AbortUntilFinished(void* context) {
    AbortStorm* storm = static_cast<AbortStorm*>(context);
    const HANDLE events[] = {storm->started, storm->finished};
    if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) return 0;
    // Uneven pauses (none, a few ms, up to a second and a half) let the aborts fall on every step
    // of the conversions, including the moment a conversion replaces the last one's graph.
    unsigned seed = 12345;
    do {
        seed = seed * 1103515245u + 12345u;
        const unsigned draw = (seed >> 16) % 8;
        if (draw < 3) {
            SwitchToThread();
        } else {
            Sleep(draw >= 6 ? (seed >> 4) % 1500 : draw);
        }
        ++g_abortsBegun;
        storm->converter->Abort();
        ++storm->aborts;
    } while (WaitForSingleObject(storm->finished, 0) != WAIT_OBJECT_0);
    return 0;
}

int RunAbortStorm(const wchar_t* source, const wchar_t* output, uint32_t width, uint32_t height, int runs) {
    CQBCONVMovie converter;
    CCountingListener listener;
    converter.SetListener(&listener);
    converter.Initialize();
    converter.SetOutputSize(width, height);
    AbortStorm storm = {&converter, listener.started, CreateEventW(nullptr, TRUE, FALSE, nullptr), 0};
    HANDLE aborter = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, AbortUntilFinished, &storm, 0, nullptr));
    int aborted = 0, completedUntouched = 0, completedAfterAbort = 0;
    for (int run = 0; run < runs; ++run) {
        listener.abortsAtProgress = -1;
        const HRESULT hr = converter.Start(source, output);
        const long atProgress = listener.abortsAtProgress;
        // An Abort that lands before a run has reset its abort event is lost, as it should be;
        // one that began once the run was reporting progress must stop it.
        const bool abortedWhileRunning = atProgress >= 0 && g_abortsBegun.load() > atProgress;
        if (hr == S_FALSE) {
            ++aborted;
        } else if (hr == S_OK) {
            ++(abortedWhileRunning ? completedAfterAbort : completedUntouched);
            std::printf("storm_run %d completed%s\n", run, abortedWhileRunning ? " after an abort" : "");
        } else {
            std::printf("storm_run %d 0x%08lx\n", run, static_cast<unsigned long>(hr));
        }
    }
    SetEvent(storm.finished);
    WaitForSingleObject(aborter, INFINITE);
    CloseHandle(aborter);
    CloseHandle(storm.finished);
    CloseHandle(listener.started);
    std::printf("storm_aborts %ld\nstorm_reached_graph %d\nstorm_aborted %d of %d\n", storm.aborts,
                listener.runsReachingTheGraph.load(), aborted, runs);
    std::printf("storm_completed %d\nstorm_completed_after_abort %d\n", completedUntouched, completedAfterAbort);
    return 0;
}

using AliveCountFunction = LONG(STDAPICALLTYPE*)();

long AliveAc3Sources() {
    const HMODULE standin = GetModuleHandleW(L"wmvcore.dll");
    const auto count = standin == nullptr ? nullptr
                                          : reinterpret_cast<AliveCountFunction>(
                                                reinterpret_cast<void*>(GetProcAddress(standin, "StandinAc3SourcesAlive")));
    return count != nullptr ? count() : -1;
}

int RunReferenceCheck(const wchar_t* source, DWORD limitMs) {
    CQBCONVMovie converter;
    std::printf("initialize 0x%08lx\n", static_cast<unsigned long>(converter.Initialize()));
    converter.SetReferenceTimeLimit(limitMs);
    CScopedComPtr<IGraphBuilder> graph;
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                  reinterpret_cast<void**>(graph.Receive()));
    if (SUCCEEDED(hr)) hr = graph->RenderFile(source, nullptr);
    std::printf("render 0x%08lx\n", static_cast<unsigned long>(hr));
    if (FAILED(hr)) return 1;
    const ULONGLONG before = GetTickCount64();
    hr = converter.CheckReferenceAudio(graph.Get());
    std::printf("reference_ms %llu\n", GetTickCount64() - before);
    std::printf("reference_result 0x%08lx\ntested %d\nsignal %d\n", static_cast<unsigned long>(hr),
                converter.ReferenceTested() ? 1 : 0, converter.ReferenceSignal() ? 1 : 0);
    // Only the movie's own graph still holds an AC-3 source: the reference graph is gone.
    std::printf("ac3_sources_alive %ld\n", AliveAc3Sources());
    // Nothing holds the reference open any more; without it a repeated check would count as a
    // signal, so the second answer shows the check is not repeated.
    std::printf("reference_deleted %d\n", DeleteFileW((GetModuleFolder() + L"Calib.dat").c_str()) ? 1 : 0);
    hr = converter.CheckReferenceAudio(graph.Get());
    std::printf("again_result 0x%08lx\n", static_cast<unsigned long>(hr));
    ClearGraph(graph.Get());
    graph.Reset();
    std::printf("ac3_sources_after %ld\n", AliveAc3Sources());
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: movie_convert_runner source output box-width box-height [--abort | --abort-storm runs | --reference limit-ms]\n");
        return 2;
    }
    const uint32_t width = static_cast<uint32_t>(_wtoi(argv[3]));
    const uint32_t height = static_cast<uint32_t>(_wtoi(argv[4]));
    if (argc > 6 && wcscmp(argv[5], L"--abort-storm") == 0) return RunAbortStorm(argv[1], argv[2], width, height, _wtoi(argv[6]));
    if (argc > 6 && wcscmp(argv[5], L"--reference") == 0) return RunReferenceCheck(argv[1], static_cast<DWORD>(_wtoi(argv[6])));
    CQBCONVMovie converter;
    CPrintingListener listener;
    converter.SetListener(&listener);
    const HRESULT initialized = converter.Initialize();
    std::printf("initialize 0x%08lx\n", static_cast<unsigned long>(initialized));
    converter.SetOutputSize(width, height);
    const bool abort = argc > 5 && wcscmp(argv[5], L"--abort") == 0;
    AbortRequest request = {&converter, listener.started, CreateEventW(nullptr, TRUE, FALSE, nullptr), 0};
    HANDLE aborter = nullptr;
    if (abort) aborter = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, AbortWhenStarted, &request, 0, nullptr));
    const ULONGLONG startedAt = GetTickCount64();
    const HRESULT hr = converter.Start(argv[1], argv[2]);
    const ULONGLONG returnedAt = GetTickCount64();
    std::printf("run_ms %llu\n", returnedAt - startedAt);
    std::printf("encode %ux%u\n", converter.EncodeWidth(), converter.EncodeHeight());
    SetEvent(request.finished);
    if (aborter != nullptr) {
        WaitForSingleObject(aborter, INFINITE);
        CloseHandle(aborter);
        std::printf("abort_ms %llu\n", request.abortedAt != 0 ? returnedAt - request.abortedAt : 0ULL);
    }
    std::printf("result 0x%08lx\n", static_cast<unsigned long>(hr));
    CloseHandle(request.finished);
    CloseHandle(listener.started);
    return 0;
}
