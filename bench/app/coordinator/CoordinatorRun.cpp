// 1,000 songs of 4 MiB handed to the coordinator as an automation run (no conversion, no
// analysis engine) until the last is written to a mass-storage player, against a plain CopyFileW
// of the same files to the same drive (goal: at most 1.3x its time, median of the rounds). The
// player is C: of the Wine prefix, shown as a removable USB drive; everything written is removed
// at the end. The first, cold round of both copies is run and discarded; every round is shown.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/coordinator/QBCommonManager.h"
#include "bench/BenchDriveFacts.h"
#include "bench/BenchSupport.h"
#include "library/device/MSCDeviceController.h"
#include "library/device/MTPDeviceController.h"
#include "library/util/Settings.h"

namespace {

const wchar_t kCapability[] = L"C:\\capability_00.xml";
const wchar_t kMusic[] = L"C:\\MUSIC";
// Counted rounds after the cold one; even, so that each copy goes first as often as the other.
const int kRounds = 4;
const double kGoal = 1.30;

// Signals the end of each run; nothing else is kept.
class CRunEnds : public IAutomationEvents {
public:
    void Post(Kind kind) override {
        if (kind == kEnd) SetEvent(ended);
        if (kind == kTransferError) failed = true;
    }
    void PostText(Kind, const std::wstring&) override {}
    void PostInt(Kind, int32_t) override {}
    void PublishEntryPoint(ICOMManagerListener*) override {}

    HANDLE ended = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::atomic<bool> failed{false};
};

using bench::Median;
using bench::Now;
using bench::RemoveFiles;
using bench::WaitForHostWriteBack;

// A 4 MiB MP3: the sample song, then its audio frames again and again (the song's own header
// frame tells the probes its length, as an encoder's would).
bool MakeSong(const std::wstring& path, const std::string& sample, uint64_t size) {
    // ID3v2 header: 10 bytes and a syncsafe size.
    if (sample.size() < 10 || sample.compare(0, 3, "ID3") != 0) return false;
    const size_t tagEnd = 10 + ((size_t(sample[6] & 0x7F) << 21) | (size_t(sample[7] & 0x7F) << 14) |
                                (size_t(sample[8] & 0x7F) << 7) | size_t(sample[9] & 0x7F));
    if (tagEnd >= sample.size()) return false;
    std::string bytes = sample;
    while (bytes.size() < size) bytes.append(sample, tagEnd, std::string::npos);
    bytes.resize(size);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    return ok;
}

std::string ReadSample() {
    std::string bytes;
    HANDLE file = CreateFileW(L"" QB_BENCH_SAMPLE_SONG, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char block[65536];
    DWORD read = 0;
    while (ReadFile(file, block, sizeof(block), &read, nullptr) && read > 0) bytes.append(block, read);
    CloseHandle(file);
    return bytes;
}

double CopyPlain(const std::vector<std::wstring>& sources, bool* ok) {
    CreateDirectoryW(L"C:\\qb_bench_plain", nullptr);
    const double started = Now();
    for (size_t i = 0; i < sources.size(); ++i) {
        const std::wstring target = L"C:\\qb_bench_plain\\" + std::to_wstring(i) + L".mp3";
        *ok &= CopyFileW(sources[i].c_str(), target.c_str(), FALSE) != FALSE;
    }
    return Now() - started;
}

// A script's run: the count announced, then every path with the length of its base folder.
double RunThroughCoordinator(CQBCommonManager& coordinator, CRunEnds& events, const std::wstring& sourceRoot,
                             const std::vector<std::wstring>& sources, bool* ok) {
    ResetEvent(events.ended);
    events.failed = false;
    const double started = Now();
    int32_t result = 0;
    BSTR empty = SysAllocString(L"");
    coordinator.Transfer(empty, 2, static_cast<int32_t>(sources.size()), &result);
    SysFreeString(empty);
    const int32_t base = static_cast<int32_t>(sourceRoot.size() + 1);
    for (const std::wstring& source : sources) {
        BSTR path = SysAllocString(source.c_str());
        coordinator.Transfer(path, 1, base, &result);
        SysFreeString(path);
    }
    *ok &= WaitForSingleObject(events.ended, INFINITE) == WAIT_OBJECT_0 && !events.failed;
    return Now() - started;
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
    // Sources below a folder named like the destination folder: the run writes MUSIC\qb_bench_run.
    const std::wstring sourceRoot = std::wstring(temp) + L"qb_bench_coordinator_sources";
    const std::wstring sourceFolder = sourceRoot + L"\\qb_bench_run";
    const std::wstring dataFolder = std::wstring(temp) + L"qb_bench_coordinator_data\\";
    CreateDirectoryW(sourceRoot.c_str(), nullptr);
    CreateDirectoryW(sourceFolder.c_str(), nullptr);
    CreateDirectoryW(dataFolder.c_str(), nullptr);
    const bool hadCapability = GetFileAttributesW(kCapability) != INVALID_FILE_ATTRIBUTES;
    const bool hadMusic = GetFileAttributesW(kMusic) != INVALID_FILE_ATTRIBUTES;
    const std::wstring storedDeviceId = GetCurrentDevId();
    if (!hadCapability) {
        HANDLE file = CreateFileW(kCapability, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    DWORD autoUpdate = 1;
    const bool hadAutoUpdate = ReadSetting(L"AutoUpdate", &autoUpdate);
    // The device check would start the update checker otherwise.
    WriteSettingDword(L"AutoUpdate", 0);

    int status = 1;
    {
        bench::CDriveCAsPlayer facts;
        CMSCDeviceController massStorage(facts);
        CMTPDeviceController mtp;
        CTransferManager::Controllers controllers{&mtp, &massStorage, [] { return false; }};
        CQBCommonManager::Options options;
        options.controllers = &controllers;
        options.dataFolder = dataFolder;
        CQBCommonManager coordinator(std::move(options));
        CRunEnds events;
        coordinator.SetAutomationEvents(&events);
        coordinator.TransferStage().SetWaits(1, 300);
        if (FAILED(coordinator.Initialize())) {
            std::printf("the coordinator did not start\n");
        } else {
            // The empty document on C: has no size: the built-in one gives the folders.
            coordinator.OnDeviceStateChanged();
            const int state = coordinator.GetLastDeviceState();
            if (state != CTransferManager::kStateFound ||
                coordinator.TransferStage().GetActiveControllerType() != CTransferManager::kMscController) {
                std::printf("the bench drive was not taken as a player (state %d)\n", state);
            } else {
                std::vector<std::wstring> sources;
                const std::string sample = ReadSample();
                bool ok = true;
                for (size_t i = 0; ok && i < count; ++i) {
                    sources.push_back(sourceFolder + L"\\song" + std::to_wstring(i) + L".mp3");
                    ok = MakeSong(sources.back(), sample, songSize);
                }
                if (ok) {
                    std::vector<double> plain;
                    std::vector<double> run;
                    for (int round = 0; round <= kRounds; ++round) {
                        for (int turn = 0; turn < 2; ++turn) {
                            WaitForHostWriteBack();
                            if ((round + turn) % 2 == 0) {
                                plain.push_back(CopyPlain(sources, &ok));
                                RemoveFiles(L"C:\\qb_bench_plain");
                            } else {
                                run.push_back(RunThroughCoordinator(coordinator, events, sourceRoot, sources, &ok));
                                RemoveFiles(L"C:\\MUSIC\\qb_bench_run");
                            }
                        }
                        std::printf("round %d%s: CopyFileW %.2f s, coordinator run %.2f s, run / CopyFileW %.2f\n",
                                    round, round == 0 ? " (cold, not counted)" : "", plain.back(), run.back(),
                                    run.back() / plain.back());
                        std::fflush(stdout);
                    }
                    plain.erase(plain.begin());
                    run.erase(run.begin());
                    const double mib = double(songSize) * double(count) / (1024.0 * 1024.0);
                    std::printf("%zu songs of 4 MiB, median of %d rounds: CopyFileW %.0f MiB/s, coordinator run "
                                "%.0f MiB/s%s\n",
                                count, kRounds, mib / Median(plain), mib / Median(run), ok ? "" : ", RUN FAILED");
                    bench::PrintVerdict("coordinator run / CopyFileW, median of the rounds' time ratios",
                                        bench::MedianOfRatios(run, plain), kGoal, true);
                    status = ok ? 0 : 1;
                } else {
                    std::printf("could not make the source files\n");
                }
            }
        }
        coordinator.Shutdown();
    }
    RemoveFiles(L"C:\\qb_bench_plain");
    RemoveFiles(L"C:\\MUSIC\\qb_bench_run");
    if (!hadMusic) RemoveDirectoryW(kMusic);
    RemoveFiles(sourceRoot);
    RemoveFiles(dataFolder.substr(0, dataFolder.size() - 1));
    if (!hadCapability) DeleteFileW(kCapability);
    SetCurrentDevId(storedDeviceId);
    if (hadAutoUpdate) {
        WriteSettingDword(L"AutoUpdate", autoUpdate);
    } else {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Tavrel Corporation\\Quillbay", 0, KEY_SET_VALUE, &key) ==
            ERROR_SUCCESS) {
            RegDeleteValueW(key, L"AutoUpdate");
            RegCloseKey(key);
        }
    }
    CoUninitialize();
    return status;
}
