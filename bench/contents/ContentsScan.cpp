// Sync-folder walk against a plain FindFirstFileW/FindNextFileW walk of the same tree, in the
// same run: 10,000 music files in 200 folders. Each walk runs five times; the best times compare.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "library/contents/ContentsManager.h"

namespace {

constexpr int kFolders = 200;
constexpr int kFilesPerFolder = 50;
constexpr int kRounds = 5;
constexpr double kGoal = 1.5;

void PlainWalk(const std::wstring& folder, std::vector<std::wstring>* files) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            PlainWalk(folder + L"\\" + name, files);
        } else {
            files->push_back(folder + L"\\" + name);
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

bool MakeTree(const std::wstring& root) {
    if (!CreateDirectoryW(root.c_str(), nullptr)) return false;
    for (int f = 0; f < kFolders; ++f) {
        // Ten artists with twenty albums each, as a music folder is laid out.
        const std::wstring artist = root + L"\\Artist " + std::to_wstring(f / 20);
        CreateDirectoryW(artist.c_str(), nullptr);
        const std::wstring album = artist + L"\\Album " + std::to_wstring(f % 20);
        if (!CreateDirectoryW(album.c_str(), nullptr)) return false;
        for (int i = 0; i < kFilesPerFolder; ++i) {
            if (!bench::MakeFile(album + L"\\Track " + std::to_wstring(i) + L".mp3", 0)) return false;
        }
    }
    return true;
}

}  // namespace

int main() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring root = std::wstring(temp) + L"qb_bench_contents_scan";
    bench::RemoveFiles(root);
    if (!MakeTree(root)) {
        printf("could not build the tree\n");
        return 1;
    }
    CContentsManager manager;
    manager.SetScanningForWalk(true);
    double bestScan = 1e9, bestPlain = 1e9;
    size_t scanned = 0, walked = 0;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<std::wstring> plain;
        double start = bench::Now();
        PlainWalk(root, &plain);
        bestPlain = std::min(bestPlain, bench::Now() - start);
        walked = plain.size();

        std::vector<std::wstring> found, previous;
        start = bench::Now();
        manager.ScanFolder(root, &found, true, &previous, 0);
        bestScan = std::min(bestScan, bench::Now() - start);
        scanned = found.size();
    }
    bench::RemoveFiles(root);
    const double ratio = bestScan / bestPlain;
    printf("files: scan %zu, plain walk %zu\n", scanned, walked);
    printf("sync scan %.1f ms, plain walk %.1f ms (best of %d)\n", bestScan * 1000, bestPlain * 1000, kRounds);
    printf("ratio %.2f, goal <= %.1f: %s\n", ratio, kGoal, ratio <= kGoal && scanned == walked ? "met" : "missed");
    return scanned == size_t(kFolders * kFilesPerFolder) ? 0 : 1;
}
