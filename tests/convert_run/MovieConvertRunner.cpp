// Converts one movie with the movie converter, as the convert stage does, and prints what the
// converter reported: every progress value, the encode size and the result. With --abort it
// aborts the conversion as soon as the run has begun and prints how long Start took to return.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <process.h>

#include "library/media/convert/QBCONVMovie.h"

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

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: movie_convert_runner source output box-width box-height [--abort]\n");
        return 2;
    }
    CQBCONVMovie converter;
    CPrintingListener listener;
    converter.SetListener(&listener);
    const HRESULT initialized = converter.Initialize();
    std::printf("initialize 0x%08lx\n", static_cast<unsigned long>(initialized));
    converter.SetOutputSize(static_cast<uint32_t>(_wtoi(argv[3])), static_cast<uint32_t>(_wtoi(argv[4])));
    const bool abort = argc > 5 && wcscmp(argv[5], L"--abort") == 0;
    AbortRequest request = {&converter, listener.started, CreateEventW(nullptr, TRUE, FALSE, nullptr), 0};
    HANDLE aborter = nullptr;
    if (abort) aborter = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, AbortWhenStarted, &request, 0, nullptr));
    const HRESULT hr = converter.Start(argv[1], argv[2]);
    const ULONGLONG returnedAt = GetTickCount64();
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
