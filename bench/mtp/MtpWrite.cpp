// Write speed through the MTP controller and the simulated player against the mass-storage
// controller writing the same files to the same disk (the Wine prefix's C: drive, shown to it as
// a removable player), with a plain CopyFileW of the same bytes for reference: one 512 MiB file
// and 500 files of 4 MiB, the sets the mass-storage benchmark writes. The ratio MTP / mass storage
// shows what the portable-device layer costs on top (goal for the 4 MiB files: 0.95 or more). The
// three take turns going first in each round, and each waits for the host to write back what the
// last one left in its cache; a first, cold round of all three is shown and left out, each speed
// is the median of the nine counted rounds, and the verdict the median of the rounds' ratios. An
// argument scales the sets down ("bench_mtp_write 8" writes an eighth), for a quick look.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/BenchDriveFacts.h"
#include "bench/BenchSupport.h"
#include "library/content/TNContent.h"
#include "library/device/MSCDeviceController.h"
#include "library/device/MTPDeviceController.h"
#include "tests/wpd/WpdStandinSupport.h"

namespace {

using bench::MakeFile;
using bench::Median;
using bench::Now;
using bench::RemoveFiles;

const wchar_t kCapability[] = L"C:\\capability_00.xml";
const wchar_t kMassStorageFolder[] = L"qb_bench_mtp_msc";
constexpr int kRounds = 9;
constexpr double kGoal = 0.95;

std::wstring MusicPath(size_t index) { return L"MUSIC\\" + std::to_wstring(index) + L".bin"; }

double CopyPlain(const std::vector<std::wstring>& sources, const std::wstring& target, bool* ok) {
    const double started = Now();
    for (size_t i = 0; i < sources.size(); ++i) {
        *ok &= CopyFileW(sources[i].c_str(), (target + L"\\" + std::to_wstring(i) + L".bin").c_str(), FALSE) != FALSE;
    }
    const double seconds = Now() - started;
    for (size_t i = 0; i < sources.size(); ++i) DeleteFileW((target + L"\\" + std::to_wstring(i) + L".bin").c_str());
    return seconds;
}

double CopyMassStorage(CMSCDeviceController& controller, const std::vector<std::wstring>& sources, bool* ok) {
    const double started = Now();
    for (size_t i = 0; i < sources.size(); ++i) {
        CTNContent content(0, CTNContent::kSong);
        content.sourcePath = sources[i];
        *ok &= controller.WriteContent(std::wstring(kMassStorageFolder) + L"\\" + MusicPath(i), &content) == S_OK;
    }
    const double seconds = Now() - started;
    RemoveFiles(std::wstring(L"C:\\") + kMassStorageFolder);
    return seconds;
}

double CopyMtp(CMTPDeviceController& controller, const std::vector<std::wstring>& sources, bool* ok) {
    const double started = Now();
    for (size_t i = 0; i < sources.size(); ++i) {
        CTNContent content(0, CTNContent::kSong);
        content.sourcePath = sources[i];
        content.relativePath = MusicPath(i);
        *ok &= controller.WriteContent(content.relativePath, &content) == S_OK;
    }
    const double seconds = Now() - started;
    // Emptying the player between rounds keeps every round writing to the same free disk.
    for (size_t i = 0; i < sources.size(); ++i) {
        std::wstring id;
        if (controller.FileExists(MusicPath(i), &id)) controller.DeleteContent(id);
    }
    return seconds;
}

struct Writers {
    CMSCDeviceController* massStorage;
    CMTPDeviceController* mtp;
    std::wstring plainTarget;
};

// Returns the ratio of the medians, MTP speed / mass-storage speed.
double Measure(const char* label, const Writers& writers, const std::vector<std::wstring>& sources, uint64_t bytes) {
    std::vector<double> plain, massStorage, mtp;
    bool ok = true;
    const double mib = double(bytes) / (1 << 20);
    std::printf("%s, MiB/s per round (round 0 is cold and not counted):\n", label);
    for (int round = 0; round <= kRounds; ++round) {
        for (int turn = 0; turn < 3; ++turn) {
            bench::WaitForHostWriteBack();
            switch ((round + turn) % 3) {
                case 0: plain.push_back(CopyPlain(sources, writers.plainTarget, &ok)); break;
                case 1: massStorage.push_back(CopyMassStorage(*writers.massStorage, sources, &ok)); break;
                default: mtp.push_back(CopyMtp(*writers.mtp, sources, &ok)); break;
            }
        }
        std::printf("  round %d: CopyFileW %7.1f   mass storage %7.1f   MTP %7.1f   MTP/mass storage %.2f\n", round,
                    mib / plain.back(), mib / massStorage.back(), mib / mtp.back(), massStorage.back() / mtp.back());
        std::fflush(stdout);
    }
    for (std::vector<double>* seconds : {&plain, &massStorage, &mtp}) seconds->erase(seconds->begin());
    const double plainSeconds = Median(plain), massStorageSeconds = Median(massStorage), mtpSeconds = Median(mtp);
    std::printf("%-18s CopyFileW %7.1f MiB/s   mass storage %7.1f MiB/s   MTP %7.1f MiB/s   "
                "MTP/mass storage %.2f   MTP/CopyFileW %.2f%s\n",
                label, mib / plainSeconds, mib / massStorageSeconds, mib / mtpSeconds, massStorageSeconds / mtpSeconds,
                plainSeconds / mtpSeconds, ok ? "" : "   (some writes failed)");
    const double roundRatio = bench::MedianOfRatios(massStorage, mtp);
    std::printf("%-18s median of the rounds' MTP/mass storage ratios %.2f\n", label, roundRatio);
    return ok ? roundRatio : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int divisor = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    const bool hadCapability = GetFileAttributesW(kCapability) != INVALID_FILE_ATTRIBUTES;
    if (!hadCapability) {
        HANDLE file = CreateFileW(kCapability, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    int exitCode = 0;
    {
        CWpdStandin standin;
        CScratchFolder sources, player, plain;
        player.WriteFile(L"capability_00.xml", "<capability/>");
        const bool registered =
            SUCCEEDED(standin.Install()) && SUCCEEDED(standin.Attach(L"bench", L"Bench", player.Path(), 1ull << 40));
        CMTPDeviceController mtp;
        bench::CDriveCAsPlayer facts;
        CMSCDeviceController massStorage(facts);
        const uint64_t bigSize = (512ull << 20) / divisor;
        const int smallCount = std::max(1, 500 / divisor);
        std::vector<std::wstring> big{sources.Path() + L"\\big.bin"};
        std::vector<std::wstring> small;
        bool made = MakeFile(big[0], bigSize);
        for (int i = 0; made && i < smallCount; ++i) {
            small.push_back(sources.Path() + L"\\small" + std::to_wstring(i) + L".bin");
            made = MakeFile(small.back(), 4ull << 20);
        }
        const char* failure = nullptr;
        if (!registered) {
            failure = "the simulated player could not be registered";
        } else if (mtp.FindDevice() != CDeviceControllerBase::kDeviceFound || !mtp.CreateFolder(L"MUSIC\\")) {
            failure = "the simulated player was not found";
        } else if (massStorage.FindDevice() != CDeviceControllerBase::kDeviceFound) {
            failure = "the bench drive was not taken as a player";
        } else if (!made) {
            failure = "the source files could not be made";
        }
        if (failure) {
            std::printf("%s\n", failure);
            exitCode = 1;
        } else {
            const Writers writers{&massStorage, &mtp, plain.Path()};
            Measure("one large file", writers, big, bigSize);
            const double ratio = Measure("many 4 MiB files", writers, small, uint64_t(smallCount) * (4ull << 20));
            bench::PrintVerdict("MTP / mass storage, 4 MiB files, median of the rounds' speed ratios", ratio, kGoal, false);
        }
        mtp.UninitializeCom();
    }
    RemoveFiles(std::wstring(L"C:\\") + kMassStorageFolder);
    if (!hadCapability) DeleteFileW(kCapability);
    return exitCode;
}
