// Write speed through the MTP controller and the simulated player against a plain CopyFileW of
// the same bytes on the same disk, best of three rounds each: one 512 MiB file and 500 files of
// 4 MiB, the sets the mass-storage benchmark writes. The ratio shows what the portable-device
// layer costs on top of the disk (goal: 0.8 or more). An argument scales the sets down
// ("bench_mtp_write 8" writes an eighth), for a quick look.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "library/content/TNContent.h"
#include "library/device/MTPDeviceController.h"
#include "tests/wpd/WpdStandinSupport.h"

namespace {

double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

bool MakeFile(const std::wstring& path, uint64_t size) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::vector<char> block(1 << 20);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 31 + (i >> 9));
    bool ok = true;
    for (uint64_t done = 0; ok && done < size; done += block.size()) {
        DWORD wrote = 0;
        const DWORD chunk = static_cast<DWORD>(size - done < block.size() ? size - done : block.size());
        ok = WriteFile(file, block.data(), chunk, &wrote, nullptr) && wrote == chunk;
    }
    CloseHandle(file);
    return ok;
}

double CopyPlain(const std::vector<std::wstring>& sources, const std::wstring& target, bool* ok) {
    const double started = Now();
    for (size_t i = 0; i < sources.size(); ++i) {
        *ok &= CopyFileW(sources[i].c_str(), (target + L"\\" + std::to_wstring(i) + L".bin").c_str(), FALSE) != FALSE;
    }
    const double seconds = Now() - started;
    for (size_t i = 0; i < sources.size(); ++i) DeleteFileW((target + L"\\" + std::to_wstring(i) + L".bin").c_str());
    return seconds;
}

double CopyThroughController(CMTPDeviceController& controller, const std::vector<std::wstring>& sources, bool* ok) {
    const double started = Now();
    for (size_t i = 0; i < sources.size(); ++i) {
        CTNContent content(0, CTNContent::kSong);
        content.sourcePath = sources[i];
        content.relativePath = L"MUSIC\\" + std::to_wstring(i) + L".bin";
        *ok &= controller.WriteContent(content.relativePath, &content) == S_OK;
    }
    const double seconds = Now() - started;
    // Emptying the player between rounds keeps every round writing to the same free disk.
    for (size_t i = 0; i < sources.size(); ++i) {
        std::wstring id;
        if (controller.FileExists(L"MUSIC\\" + std::to_wstring(i) + L".bin", &id)) controller.DeleteContent(id);
    }
    return seconds;
}

void Measure(const char* label, CMTPDeviceController& controller, const std::vector<std::wstring>& sources,
             uint64_t bytes, const std::wstring& plainTarget) {
    double plain = 1e30, mtp = 1e30;
    bool ok = true;
    for (int round = 0; round < 3; ++round) {
        // Whichever copy goes first pays the host's write-back of the other: they take turns.
        if (round % 2 == 0) {
            plain = std::min(plain, CopyPlain(sources, plainTarget, &ok));
            mtp = std::min(mtp, CopyThroughController(controller, sources, &ok));
        } else {
            mtp = std::min(mtp, CopyThroughController(controller, sources, &ok));
            plain = std::min(plain, CopyPlain(sources, plainTarget, &ok));
        }
    }
    const double mib = double(bytes) / (1 << 20);
    std::printf("%-18s plain %8.1f MiB/s   mtp %8.1f MiB/s   ratio %.2f%s\n", label, mib / plain, mib / mtp,
                plain / mtp, ok ? "" : "   (some writes failed)");
}

}  // namespace

int main(int argc, char** argv) {
    const int divisor = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int exitCode = 0;
    {
        CWpdStandin standin;
        CScratchFolder sources, player, plain;
        player.WriteFile(L"capability_00.xml", "<capability/>");
        if (FAILED(standin.Install()) || FAILED(standin.Attach(L"bench", L"Bench", player.Path(), 1ull << 40))) {
            std::printf("the simulated player could not be registered\n");
            return 1;
        }
        CMTPDeviceController controller;
        if (controller.FindDevice() != 1 || !controller.CreateFolder(L"MUSIC\\")) {
            std::printf("the simulated player was not found\n");
            return 1;
        }
        const uint64_t bigSize = (512ull << 20) / divisor;
        const int smallCount = std::max(1, 500 / divisor);
        std::vector<std::wstring> big{sources.Path() + L"\\big.bin"};
        std::vector<std::wstring> small;
        bool made = MakeFile(big[0], bigSize);
        for (int i = 0; made && i < smallCount; ++i) {
            small.push_back(sources.Path() + L"\\small" + std::to_wstring(i) + L".bin");
            made = MakeFile(small.back(), 4ull << 20);
        }
        if (!made) {
            std::printf("the source files could not be made\n");
            exitCode = 1;
        } else {
            Measure("one large file", controller, big, bigSize, plain.Path());
            Measure("many 4 MiB files", controller, small, uint64_t(smallCount) * (4ull << 20), plain.Path());
        }
        controller.UninitializeCom();
    }
    return exitCode;
}
