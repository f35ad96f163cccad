// Write speed of the mass-storage controller against a plain CopyFileW of the same bytes in the
// same run (best of three rounds each): one 512 MiB file and 500 files of 4 MiB, and the memory the copy commits (it must not
// grow with the file size). The drive is C: of the Wine prefix, shown to the controller as a
// removable USB player; everything written is removed at the end.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/BenchDriveFacts.h"
#include "bench/BenchSupport.h"
#include "library/content/TNContent.h"
#include "library/device/MSCDeviceController.h"

namespace {

const wchar_t kRoot[] = L"C:\\";
const wchar_t kCapability[] = L"C:\\capability_00.xml";

// Tracks the highest commit charge seen while blocks are written.
class CMemoryWatch : public CDeviceControllerBase::IDevCtrlListener {
public:
    void OnContentsEnumerated(uint64_t, uint64_t, uint64_t, uint64_t, uint64_t, uint64_t,
                              uint64_t) override {}
    void OnFolderTree(CQBTreeNode*) override {}
    void OnWriteProgress(uint32_t written, uint32_t total) override {
        // Asking for the counters is a server round trip under Wine: sample, or it dominates.
        if (written != total && ++reports_ % 64 != 0) return;
        PROCESS_MEMORY_COUNTERS counters = {};
        GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
        if (counters.PagefileUsage > peak) peak = counters.PagefileUsage;
    }
    void OnMoodChannelStep(const wchar_t*) override {}
    void OnMoodChannelDone(const wchar_t*) override {}
    SIZE_T peak = 0;

private:
    unsigned reports_ = 0;
};

using bench::MakeFile;
using bench::Now;

struct Result {
    double plainSeconds = 0;
    double controllerSeconds = 0;
    SIZE_T peakKiB = 0;
    bool ok = true;
};

double CopyPlain(const std::vector<std::wstring>& sources, bool* ok) {
    CreateDirectoryW(L"C:\\qb_bench_plain", nullptr);
    const double started = Now();
    for (size_t i = 0; i < sources.size(); ++i) {
        const std::wstring target = L"C:\\qb_bench_plain\\" + std::to_wstring(i) + L".bin";
        *ok &= CopyFileW(sources[i].c_str(), target.c_str(), FALSE) != FALSE;
    }
    return Now() - started;
}

double CopyThroughController(CMSCDeviceController& controller,
                             const std::vector<std::wstring>& sources, bool* ok) {
    const double started = Now();
    for (size_t i = 0; i < sources.size(); ++i) {
        CTNContent content(0, CTNContent::kSong);
        content.sourcePath = sources[i];
        const std::wstring destination = L"qb_bench_device\\files\\" + std::to_wstring(i) + L".bin";
        *ok &= controller.WriteContent(destination, &content) == S_OK;
    }
    return Now() - started;
}

using bench::RemoveFiles;

// The host's write-back of one copy slows whichever copy follows it, so the two take turns
// going first and each keeps its best of three rounds.
Result Measure(CMSCDeviceController& controller, CMemoryWatch& watch,
               const std::vector<std::wstring>& sources) {
    constexpr int kRounds = 3;
    Result result;
    result.plainSeconds = result.controllerSeconds = 1e30;
    watch.peak = 0;
    for (int round = 0; round < kRounds; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            if ((round + turn) % 2 == 0) {
                result.plainSeconds = std::min(result.plainSeconds, CopyPlain(sources, &result.ok));
                RemoveFiles(L"C:\\qb_bench_plain");
            } else {
                result.controllerSeconds = std::min(
                    result.controllerSeconds, CopyThroughController(controller, sources, &result.ok));
                RemoveFiles(L"C:\\qb_bench_device");
            }
        }
    }
    result.peakKiB = watch.peak / 1024;
    return result;
}


void Report(const char* what, const Result& result, uint64_t bytes) {
    const double mib = double(bytes) / (1024.0 * 1024.0);
    const double ratio = result.plainSeconds / result.controllerSeconds;
    std::printf("%s: CopyFileW %.0f MiB/s, WriteContent %.0f MiB/s = %.2fx (goal >= 0.90), "
                "peak commit %lu KiB%s\n",
                what, mib / result.plainSeconds, mib / result.controllerSeconds, ratio,
                static_cast<unsigned long>(result.peakKiB), result.ok ? "" : ", COPY FAILED");
}

}  // namespace

int main(int argc, char** argv) {
    // A divisor of the sizes and counts may be given, for a quick look.
    const uint64_t scale = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 1;
    const uint64_t bigSize = (512ull << 20) / scale;
    const size_t smallCount = static_cast<size_t>(500 / scale);
    const uint64_t smallSize = 4ull << 20;

    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring sourceFolder = std::wstring(temp) + L"qb_bench_sources";
    CreateDirectoryW(sourceFolder.c_str(), nullptr);

    const bool hadCapability = GetFileAttributesW(kCapability) != INVALID_FILE_ATTRIBUTES;
    if (!hadCapability) {
        HANDLE file = CreateFileW(kCapability, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    bench::CDriveCAsPlayer facts;
    CMSCDeviceController controller(facts);
    CMemoryWatch watch;
    controller.SetListener(&watch);
    if (controller.FindDevice() != CDeviceControllerBase::kDeviceFound ||
        controller.GetRootPath() != kRoot) {
        std::printf("the bench drive was not taken as a player\n");
        return 1;
    }

    std::vector<std::wstring> big{sourceFolder + L"\\big.bin"};
    std::vector<std::wstring> small;
    bool made = MakeFile(big[0], bigSize);
    for (size_t i = 0; made && i < smallCount; ++i) {
        small.push_back(sourceFolder + L"\\small" + std::to_wstring(i) + L".bin");
        made = MakeFile(small.back(), smallSize);
    }
    int status = made ? 0 : 1;
    if (made) {
        const Result one = Measure(controller, watch, big);
        Report("one file of 512 MiB", one, bigSize);
        const Result many = Measure(controller, watch, small);
        Report("500 files of 4 MiB", many, smallSize * smallCount);
        std::printf("memory flat in file size: %s (%lu KiB for 512 MiB, %lu KiB for 4 MiB)\n",
                    one.peakKiB <= many.peakKiB + 1024 ? "yes" : "NO",
                    static_cast<unsigned long>(one.peakKiB),
                    static_cast<unsigned long>(many.peakKiB));
        if (!one.ok || !many.ok) status = 1;
    } else {
        std::printf("could not make the source files\n");
    }
    RemoveFiles(L"C:\\qb_bench_plain");
    RemoveFiles(L"C:\\qb_bench_device");
    RemoveFiles(sourceFolder);
    if (!hadCapability) DeleteFileW(kCapability);
    return status;
}
