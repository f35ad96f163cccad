// Records per second through a chain of seven handlers that do no work, and the process's
// committed memory over three million records: it must stay flat, since every record is deleted at
// the end of the chain. The end also checks that every record arrives once, in order.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "library/content/RunnableTNContentHandler.h"

namespace {

class CPassThrough : public CRunnableTNContentHandler {
protected:
    void ProcessContent(CTNContent*) override { ForwardCurrent(); }
};

// The end of the chain: checks the order, counts and deletes.
class CCountingEnd : public CTNContentHandler {
public:
    void PostContent(CTNContent* content) override {
        if (content->stageValue != static_cast<uint32_t>(arrived)) outOfOrder = true;
        delete content;
        InterlockedIncrement(&arrived);
    }
    volatile LONG arrived = 0;
    volatile bool outOfOrder = false;
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
    constexpr double kRateGoal = 10000;
    constexpr SIZE_T kMemoryGoalKiB = 2048;
    // The record count may be given, for a quick look.
    const LONG kRecords = argc > 1 ? std::atol(argv[1]) : 3000000;
    CPassThrough stages[kStages];
    CCountingEnd end;
    for (int i = 0; i < kStages; ++i) stages[i].SetNext(i + 1 < kStages ? static_cast<ITNContentHandler*>(&stages[i + 1]) : &end);
    for (int i = kStages - 1; i >= 0; --i) stages[i].Start();

    LARGE_INTEGER frequency, started, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&started);
    // The checkpoints judge; the highest figure after any batch is shown beside them: a batch in
    // flight holds up to 10,000 records, which the heap gives back once they are deleted.
    SIZE_T baseKiB = 0, worstKiB = 0, checkpointKiB = 0;
    for (LONG sent = 0; sent < kRecords; sent += kBatch) {
        for (LONG i = 0; i < kBatch; ++i) {
            CTNContent* content = new CTNContent(0, 0);
            content->stageValue = static_cast<uint32_t>(sent + i);
            stages[0].PostContent(content);
        }
        // Keep at most one batch in flight, as a producer that feeds a live run does.
        while (end.arrived < sent + kBatch) Sleep(1);
        const LONG done = sent + kBatch;
        const SIZE_T kib = CommittedKiB();
        if (done == 100000) baseKiB = kib;
        if (done >= 100000 && kib > worstKiB) worstKiB = kib;
        if (done == 1000000 || done == 3000000) checkpointKiB = std::max(checkpointKiB, kib);
        if (done == 100000 || done == 1000000 || done == 3000000)
            std::printf("committed memory after %ld records: %lu KiB\n", static_cast<long>(done),
                        static_cast<unsigned long>(kib));
    }
    QueryPerformanceCounter(&now);
    const double seconds = double(now.QuadPart - started.QuadPart) / double(frequency.QuadPart);
    const double rate = kRecords / seconds;
    for (CPassThrough& stage : stages) stage.Stop();
    const bool complete = end.arrived == kRecords && !end.outOfOrder;
    std::printf("chain of %d handlers: %ld records in %.2f s = %.0f records/s (goal >= %.0f)\n", kStages,
                static_cast<long>(kRecords), seconds, rate, kRateGoal);
    std::printf("every record arrived once, in order: %s\n", complete ? "yes" : "NO");
    const SIZE_T growthKiB = checkpointKiB > baseKiB ? checkpointKiB - baseKiB : 0;
    const bool met = complete && rate >= kRateGoal && (baseKiB == 0 || growthKiB <= kMemoryGoalKiB);
    std::printf("highest committed memory after any batch from 100k records on: %lu KiB\n",
                static_cast<unsigned long>(worstKiB));
    std::printf("chain: %.0f records/s, memory growth from 100k to 1M and 3M records %lu KiB (goal <= %lu KiB): %s\n",
                rate, static_cast<unsigned long>(growthKiB), static_cast<unsigned long>(kMemoryGoalKiB),
                met ? "met" : "missed");
    return complete ? 0 : 1;
}
