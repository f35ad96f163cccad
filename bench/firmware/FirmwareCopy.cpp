// Copying a firmware image through the firmware library to each simulated player against a plain
// CopyFileW of the same image to the same disk (the temporary folder's): the mass-storage player's
// drive and the MTP player's store are folders there. Each library copy includes the rescan the
// export makes before it. Goal: at most 1.2 times CopyFileW's time for either player.
//
// Fairness: all three read the same source file, which the first, uncounted round brings into the
// host's cache; each copy writes a new file under a name not used before and it is deleted after
// the clock stops, so it leaves the host nothing to write back; before each round the host writes
// back what other programs left unwritten. In each round each of the three copies twice, in the
// order A B C C B A, and the three take turns being A. The verdict is the median over the rounds
// of each round's own ratio (a load that drifts over the run moves a round's figures together),
// shown with the quartiles and the extremes of those ratios. An argument scales the 64 MiB image
// down ("bench_firmware_copy 8" copies 8 MiB).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "firmware/FirmwareState.h"
#include "firmware/Gantrel.h"
#include "tests/firmware/SimulatedMassStorage.h"
#include "tests/firmware/SimulatedMtpPlayers.h"
#include "tests/util/UtilTestSupport.h"
#include "tests/wpd/WpdStandinSupport.h"

namespace {

using bench::MakeFile;
using bench::Median;
using bench::Now;

constexpr int kRounds = 21;
constexpr double kGoal = 1.2;

enum Side { kPlain, kMassStorage, kMtp, kSides };
const char* const kSideNames[kSides] = {"CopyFileW", "mass storage", "MTP"};

struct Setup {
    std::wstring image;
    CScratchFolder* plainFolder;
    CScratchFolder* drive;
    uint64_t size;
};

bool HasSize(const std::wstring& path, uint64_t size) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    return ((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) == size;
}

// One timed copy to a name of its own (one per copy number); the copy is checked and deleted after
// the clock stops.
double Time(Side side, int copyNumber, const Setup& setup, bool* ok) {
    const std::wstring name = L"fw" + std::to_wstring(copyNumber) + L".bin";
    const std::wstring playerPath = L"\\" + name;
    const std::wstring plainTarget = setup.plainFolder->Join(name);
    const double started = Now();
    bool copied = false;
    switch (side) {
        case kPlain: copied = CopyFileW(setup.image.c_str(), plainTarget.c_str(), FALSE) != FALSE; break;
        case kMassStorage:
            copied = CopyFirmwareBinary(kVendor, kMscProduct, L"BENCHMSC", setup.image.c_str(), playerPath.c_str(),
                                        FALSE) == 0;
            break;
        default:
            // 0 only when the player took the object with every byte that was announced for it.
            copied = CopyFirmwareBinary(kVendor, kMtpProduct, L"BENCHMTP", setup.image.c_str(), playerPath.c_str(),
                                        FALSE) == 0;
            break;
    }
    const double seconds = Now() - started;
    if (side == kPlain) {
        copied &= HasSize(plainTarget, setup.size);
        DeleteFileW(plainTarget.c_str());
    } else if (side == kMassStorage) {
        const std::wstring landed = setup.drive->Join(name);
        copied &= HasSize(landed, setup.size);
        DeleteFileW(landed.c_str());
    } else {
        DeleteFirmwareBinary(kVendor, kMtpProduct, L"BENCHMTP", playerPath.c_str());
    }
    *ok &= copied;
    return seconds;
}

std::vector<double> Ratios(const std::vector<double>& numerator, const std::vector<double>& denominator) {
    std::vector<double> ratios;
    for (size_t i = 0; i < numerator.size() && i < denominator.size(); ++i) ratios.push_back(numerator[i] / denominator[i]);
    std::sort(ratios.begin(), ratios.end());
    return ratios;
}

// The value below which the given share of the sorted values lies (nearest rank).
double Quantile(const std::vector<double>& sorted, double share) {
    const size_t rank = static_cast<size_t>(share * (sorted.size() - 1) + 0.5);
    return sorted[std::min(rank, sorted.size() - 1)];
}

// Prints the spread of one player's round ratios; returns their median.
double PrintRatios(Side side, const std::vector<double>& ratios) {
    std::printf("%-12s / CopyFileW per round: min %.2f  quartile %.2f  median %.2f  quartile %.2f  max %.2f\n",
                kSideNames[side], ratios.front(), Quantile(ratios, 0.25), Median(ratios), Quantile(ratios, 0.75),
                ratios.back());
    return Median(ratios);
}

}  // namespace

int main(int argc, char** argv) {
    const int divisor = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int exitCode = 0;
    {
        CWpdStandin standin;
        CScratchFolder sources, plainFolder, drive, store;
        CSimulatedMassStorage machine;
        machine.AddPlayer(L'E', drive.Path(), kVendor, kMscProduct, "BENCHMSC").freeBytes = 1ull << 40;
        SetMassStorageSystem(&machine);
        AttachFirmwareLibrary();
        const std::wstring mtpId = MtpDeviceId(kMtpProduct, L"BENCH");
        const Setup setup{sources.Join(L"fw.bin"), &plainFolder, &drive, (64ull << 20) / divisor};
        const bool registered =
            SUCCEEDED(standin.Install()) && SUCCEEDED(standin.Attach(mtpId, L"Bench", store.Path(), 1ull << 40)) &&
            SUCCEEDED(standin.SetVendor(mtpId, kPlayerExtensionDescription, kPlayerOpcodes,
                                        MtpDeviceInfo("BENCH", "1.00", "1.00", "BENCHMTP", 1, 2)));
        if (!registered || !MakeFile(setup.image, setup.size)) {
            std::printf("the simulated players or the image could not be set up\n");
            exitCode = 1;
        } else {
            const double mib = double(setup.size) / (1 << 20);
            std::vector<double> seconds[kSides];
            bool ok = true;
            std::printf("%.0f MiB image, ms per copy, the mean of two (round 0 warms the cache and is not counted):\n", mib);
            for (int round = 0; round <= kRounds; ++round) {
                // Each copies twice, in the order A B C C B A: a load that grows or shrinks over the
                // round weighs on all three alike.
                double taken[kSides] = {};
                bench::WaitForHostWriteBack();
                for (int turn = 0; turn < 2 * kSides; ++turn) {
                    const int place = turn < kSides ? turn : 2 * kSides - 1 - turn;
                    const Side side = static_cast<Side>((round + place) % kSides);
                    taken[side] += Time(side, 2 * round + turn / kSides, setup, &ok) / 2;
                }
                for (int side = 0; side < kSides && round > 0; ++side) seconds[side].push_back(taken[side]);
                std::printf("  round %2d: CopyFileW %6.1f   mass storage %6.1f (%.2fx)   MTP %6.1f (%.2fx)\n", round,
                            taken[kPlain] * 1000, taken[kMassStorage] * 1000, taken[kMassStorage] / taken[kPlain],
                            taken[kMtp] * 1000, taken[kMtp] / taken[kPlain]);
                std::fflush(stdout);
            }
            std::vector<double> rescans;
            for (int round = 0; round < kRounds; ++round) {
                const double started = Now();
                GetDevices();
                rescans.push_back(Now() - started);
            }
            const double plain = Median(seconds[kPlain]);
            std::printf("medians: CopyFileW %.1f MiB/s (%.1f ms)   mass storage %.1f MiB/s   MTP %.1f MiB/s   "
                        "(a rescan alone, part of each library copy: %.1f ms)%s\n",
                        mib / plain, plain * 1000, mib / Median(seconds[kMassStorage]), mib / Median(seconds[kMtp]),
                        Median(rescans) * 1000, ok ? "" : "   (some copies failed)");
            const double massStorage = PrintRatios(kMassStorage, Ratios(seconds[kMassStorage], seconds[kPlain]));
            const double mtp = PrintRatios(kMtp, Ratios(seconds[kMtp], seconds[kPlain]));
            bench::PrintVerdict("mass storage / CopyFileW", massStorage, kGoal, true);
            bench::PrintVerdict("MTP / CopyFileW", mtp, kGoal, true);
            if (!ok) exitCode = 1;
        }
        DetachFirmwareLibrary();
        SetMassStorageSystem(nullptr);
    }
    CoUninitialize();
    return exitCode;
}
