// 1,000 songs of 4 MiB pushed through a chain that ends in the transfer manager, onto a
// mass-storage player, against a plain CopyFileW of the same bytes (goal: at most 1.10x its time),
// and the memory committed meanwhile (it must stay flat). The player is C: of the Wine prefix,
// shown to the controller as a removable USB drive; everything written is removed at the end.
// The first, cold round of both copies is run and discarded; every round is shown.
#include <windows.h>
#include <objbase.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/BenchDriveFacts.h"
#include "bench/BenchSupport.h"
#include "library/content/RunnableTNContentHandler.h"
#include "library/content/TNContent.h"
#include "library/device/MSCDeviceController.h"
#include "library/device/QBTreeNode.h"
#include "library/transfer/TransferManager.h"
#include "library/util/Settings.h"

namespace {

const wchar_t kCapability[] = L"C:\\capability_00.xml";
const wchar_t kMusic[] = L"C:\\MUSIC";
// Counted rounds after the cold one; even, so that each copy goes first as often as the other.
const int kRounds = 6;
const double kGoal = 1.10;

// A stage in front of the transfer manager that only passes contents on.
class CPassStage : public CRunnableTNContentHandler {
protected:
    void ProcessContent(CTNContent*) override { ForwardCurrent(); }
};

class CBenchListener : public CTransferManager::IListener {
public:
    void OnContentProcessed() override {
        if (++processed == expected) SetEvent(done);
    }
    void OnDeviceContents(uint64_t, uint64_t, uint64_t, uint64_t, uint64_t, uint64_t, uint64_t) override {}
    void OnContentDeleted(int) override {}
    void OnDeleteFinished(int, CQBTreeNode* root) override { delete root; }
    void OnFolderTree(int, CQBTreeNode* root) override { delete root; }
    void OnDiskFull() override {
        failed = true;
        SetEvent(done);
    }
    void OnWriteProgress(uint32_t written, uint32_t total) override {
        if (written != total && ++reports % 64 != 0) return;
        PROCESS_MEMORY_COUNTERS counters = {};
        GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
        if (counters.PagefileUsage > peak) peak = counters.PagefileUsage;
        if (firstPeak == 0) firstPeak = counters.PagefileUsage;
    }
    void OnContentResult(int, std::wstring) override {}
    void OnMoodChannelStep(const wchar_t*) override {}
    void OnMoodChannelDone(const wchar_t*) override {}
    void OnDeviceWarning() override {}

    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> processed{0};
    int expected = 0;
    bool failed = false;
    unsigned reports = 0;
    SIZE_T peak = 0;
    SIZE_T firstPeak = 0;
};

using bench::MakeFile;
using bench::Median;
using bench::Now;
using bench::RemoveFiles;
using bench::WaitForHostWriteBack;

double CopyPlain(const std::vector<std::wstring>& sources, bool* ok) {
    CreateDirectoryW(L"C:\\qb_bench_plain", nullptr);
    const double started = Now();
    for (size_t i = 0; i < sources.size(); ++i) {
        const std::wstring target = L"C:\\qb_bench_plain\\" + std::to_wstring(i) + L".mp3";
        *ok &= CopyFileW(sources[i].c_str(), target.c_str(), FALSE) != FALSE;
    }
    return Now() - started;
}

double CopyThroughChain(CPassStage& head, CTransferManager& manager, CBenchListener& listener,
                        const std::vector<std::wstring>& sources, bool* ok) {
    listener.processed = 0;
    listener.expected = static_cast<int>(sources.size());
    ResetEvent(listener.done);
    const double started = Now();
    for (size_t i = 0; i < sources.size(); ++i) {
        auto* content = new CTNContent(0, CTNContent::kSong);
        content->sourcePath = sources[i];
        content->relativePath = L"qb_bench_transfer\\" + std::to_wstring(i) + L".mp3";
        head.PostContent(content);
    }
    *ok &= WaitForSingleObject(listener.done, INFINITE) == WAIT_OBJECT_0 && !listener.failed;
    const double seconds = Now() - started;
    *ok &= manager.GetFailedList().empty();
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    // A divisor of the song count may be given, for a quick look.
    const size_t scale = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 1;
    const size_t count = 1000 / scale;
    const uint64_t songSize = 4ull << 20;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring sourceFolder = std::wstring(temp) + L"qb_bench_transfer_sources";
    const std::wstring dataFolder = std::wstring(temp) + L"qb_bench_transfer_data\\";
    CreateDirectoryW(sourceFolder.c_str(), nullptr);
    CreateDirectoryW(dataFolder.c_str(), nullptr);
    const bool hadCapability = GetFileAttributesW(kCapability) != INVALID_FILE_ATTRIBUTES;
    const bool hadMusic = GetFileAttributesW(kMusic) != INVALID_FILE_ATTRIBUTES;
    const std::wstring storedDeviceId = GetCurrentDevId();
    if (!hadCapability) {
        HANDLE file = CreateFileW(kCapability, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }

    int status = 1;
    {
        bench::CDriveCAsPlayer facts;
        CMSCDeviceController massStorage(facts);
        CMTPDeviceController mtp;
        CTransferManager manager({&mtp, &massStorage, [] { return false; }});
        CBenchListener listener;
        manager.SetListener(&listener);
        manager.SetDataFolder(dataFolder);
        manager.SetWaits(1, 300);
        CPassStage head;
        head.SetNext(&manager);
        bool hasFile = false;
        // The empty document on C: has no size: the built-in one gives the folders.
        const int state = manager.CheckDevice(&hasFile);
        if (state != CTransferManager::kStateFound ||
            manager.GetActiveControllerType() != CTransferManager::kMscController) {
            std::printf("the bench drive was not taken as a player (state %d)\n", state);
        } else if (manager.Start() == S_OK && head.Start() == S_OK) {
            std::vector<std::wstring> sources;
            bool ok = true;
            for (size_t i = 0; ok && i < count; ++i) {
                sources.push_back(sourceFolder + L"\\song" + std::to_wstring(i) + L".mp3");
                ok = MakeFile(sources.back(), songSize);
            }
            if (ok) {
                // The host's write-back of one copy slows whichever copy follows it: each copy
                // waits for it, the two take turns going first, and the verdict is the median of
                // the rounds' ratios. Round 0 is the cold one, shown and left out.
                std::vector<double> plain;
                std::vector<double> chain;
                for (int round = 0; round <= kRounds; ++round) {
                    for (int turn = 0; turn < 2; ++turn) {
                        WaitForHostWriteBack();
                        if ((round + turn) % 2 == 0) {
                            plain.push_back(CopyPlain(sources, &ok));
                            RemoveFiles(L"C:\\qb_bench_plain");
                        } else {
                            chain.push_back(CopyThroughChain(head, manager, listener, sources, &ok));
                            RemoveFiles(L"C:\\MUSIC\\qb_bench_transfer");
                        }
                    }
                    std::printf("round %d%s: CopyFileW %.2f s, chain %.2f s, chain / CopyFileW %.2f\n", round,
                                round == 0 ? " (cold, not counted)" : "", plain.back(), chain.back(),
                                chain.back() / plain.back());
                    std::fflush(stdout);
                }
                plain.erase(plain.begin());
                chain.erase(chain.begin());
                const double mib = double(songSize) * double(count) / (1024.0 * 1024.0);
                const double plainMedian = Median(plain);
                const double chainMedian = Median(chain);
                std::printf("%zu songs of 4 MiB, median of %d rounds: CopyFileW %.0f MiB/s, chain to the player "
                            "%.0f MiB/s, ratio of the medians %.2f; best rounds %.2fx%s\n",
                            count, kRounds, mib / plainMedian, mib / chainMedian, chainMedian / plainMedian,
                            *std::min_element(chain.begin(), chain.end()) /
                                *std::min_element(plain.begin(), plain.end()),
                            ok ? "" : ", COPY FAILED");
                std::printf("peak commit %lu KiB after the first song %lu KiB: memory flat: %s\n",
                            static_cast<unsigned long>(listener.peak / 1024),
                            static_cast<unsigned long>(listener.firstPeak / 1024),
                            listener.peak <= listener.firstPeak + (8u << 20) ? "yes" : "NO");
                bench::PrintVerdict("transfer chain / CopyFileW, median of the rounds' time ratios",
                                    bench::MedianOfRatios(chain, plain), kGoal, true);
                status = ok ? 0 : 1;
            } else {
                std::printf("could not make the source files\n");
            }
            head.Stop();
        }
        manager.Stop();
    }
    RemoveFiles(L"C:\\qb_bench_plain");
    RemoveFiles(L"C:\\MUSIC\\qb_bench_transfer");
    if (!hadMusic) RemoveDirectoryW(kMusic);
    RemoveFiles(sourceFolder);
    RemoveFiles(dataFolder.substr(0, dataFolder.size() - 1));
    if (!hadCapability) DeleteFileW(kCapability);
    SetCurrentDevId(storedDeviceId);
    CoUninitialize();
    return status;
}
