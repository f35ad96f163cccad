// Records per second through a chain of seven handlers that do no work, and the process's memory
// over a million records (it must stay flat: every record is deleted at the end of the chain).
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>

#include "library/content/RunnableTNContentHandler.h"

namespace {

class CPassThrough : public CRunnableTNContentHandler {
protected:
    void ProcessContent(CTNContent*) override { ForwardCurrent(); }
};

// The end of the chain: counts and deletes.
class CCountingEnd : public CTNContentHandler {
public:
    void PostContent(CTNContent* content) override {
        delete content;
        InterlockedIncrement(&arrived);
    }
    volatile LONG arrived = 0;
};

SIZE_T CommittedKiB() {
    PROCESS_MEMORY_COUNTERS counters = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage / 1024;
}

}  // namespace

int main(int argc, char** argv) {
    constexpr int kStages = 7;
    constexpr LONG kBatch = 10000;
    // The record count may be given, for a quick look.
    const LONG kRecords = argc > 1 ? std::atol(argv[1]) : 1000000;
    CPassThrough stages[kStages];
    CCountingEnd end;
    for (int i = 0; i < kStages; ++i) stages[i].SetNext(i + 1 < kStages ? static_cast<ITNContentHandler*>(&stages[i + 1]) : &end);
    for (int i = kStages - 1; i >= 0; --i) stages[i].Start();

    LARGE_INTEGER frequency, started, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&started);
    SIZE_T firstKiB = 0;
    for (LONG sent = 0; sent < kRecords; sent += kBatch) {
        for (LONG i = 0; i < kBatch; ++i) stages[0].PostContent(new CTNContent(0, 0));
        // Keep at most one batch in flight, as a producer that feeds a live run does.
        while (end.arrived < sent + kBatch) Sleep(1);
        if (sent == 10 * kBatch) firstKiB = CommittedKiB();

    }
    QueryPerformanceCounter(&now);
    double seconds = double(now.QuadPart - started.QuadPart) / double(frequency.QuadPart);
    std::printf("chain of %d handlers: %ld records in %.2f s = %.0f records/s (goal >= 10000)\n", kStages,
                static_cast<long>(kRecords), seconds, kRecords / seconds);
    std::printf("committed memory after 100k records: %lu KiB, at the end: %lu KiB\n",
                static_cast<unsigned long>(firstKiB), static_cast<unsigned long>(CommittedKiB()));
    for (CPassThrough& stage : stages) stage.Stop();
    return 0;
}
