// Lines per second through a method log with the log written to a file, and the cost of a method
// log whose level the configuration filters out (the common case: no logging configured).
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/BenchSupport.h"
#include "library/util/ScopedCom.h"
#include "updater/oplogsys/FileLogFactory.h"
#include "updater/oplogsys/LogPaths.h"
#include "updater/oplogsys/LogSysInfo.h"
#include "updater/oplogsys/MethodLog.h"

namespace {

using opLogSys::COutputLogSystem;
using opLogSys::Fmt::CMethodLog;

// One logged method: entry line, one text line, leaving line.
void LoggedMethod(COutputLogSystem* system, int i) {
    HRESULT hr = S_OK;
    CMethodLog<HRESULT> log(system, L"CFennicServiceManager::Bench", &hr);
    log.Printf(L"hr 0x%x", i);
}

std::unique_ptr<COutputLogSystem> MakeSystem(const std::wstring& folder, const wchar_t* name, int minLevel) {
    CScopedComPtr<opLogSys::CLogSysInfo> info(new opLogSys::CLogSysInfo());
    info->SetFactory(new opLogSys::File::COutputLogSystemFactory(folder.c_str(), false));
    info->State()->AddFilter(minLevel, 9, opLogSys::GetDefaultLogName());
    return std::make_unique<COutputLogSystem>(name, info.Get(), L"");
}

double SecondsFor(COutputLogSystem* system, int calls) {
    const double start = bench::Now();
    for (int i = 0; i < calls; ++i) LoggedMethod(system, i);
    return bench::Now() - start;
}

}  // namespace

int main() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"qb-bench-oplogsys";
    CreateDirectoryW(folder.c_str(), nullptr);

    auto enabled = MakeSystem(folder, L"BenchEnabled", 0);
    auto filtered = MakeSystem(folder, L"BenchFiltered", 2);
    constexpr int kEnabledCalls = 20000;
    constexpr int kFilteredCalls = 2000000;
    // The first, cold round of each is run and discarded.
    SecondsFor(enabled.get(), kEnabledCalls / 10);
    SecondsFor(filtered.get(), kFilteredCalls / 10);
    double bestEnabled = 1e9, bestFiltered = 1e9;
    for (int round = 1; round <= 5; ++round) {
        const double e = SecondsFor(enabled.get(), kEnabledCalls);
        const double f = SecondsFor(filtered.get(), kFilteredCalls);
        std::printf("round %d: enabled %.0f lines/s, filtered-out method log %.1f ns per call\n", round,
                    3 * kEnabledCalls / e, f / kFilteredCalls * 1e9);
        if (e < bestEnabled) bestEnabled = e;
        if (f < bestFiltered) bestFiltered = f;
    }
    enabled.reset();
    filtered.reset();
    bench::RemoveFiles(folder);
    const double perFilteredCall = bestFiltered / kFilteredCalls * 1e9;
    std::printf("enabled: %.0f lines/s (best round)\n", 3 * kEnabledCalls / bestEnabled);
    std::printf("filtered-out method log: %.1f ns per call, goal < 1000 ns: %s\n", perFilteredCall,
                perFilteredCall < 1000 ? "met" : "missed");
    return 0;
}
