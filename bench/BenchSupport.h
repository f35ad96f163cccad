#pragma once
// Helpers shared by the benchmark programs.

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace bench {

// Seconds on the performance counter.
inline double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

// Writes a file of the given size with a fixed, non-repeating-per-block pattern.
inline bool MakeFile(const std::wstring& path, uint64_t size) {
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

// Deletes a folder with everything below it.
inline void RemoveFiles(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveFiles(folder + L"\\" + name);
        } else {
            DeleteFileW((folder + L"\\" + name).c_str());
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    RemoveDirectoryW(folder.c_str());
}

// The host's dirty and in-flight file data in KiB, from the Linux memory report that Wine shows on
// Z:; -1 where there is no such report (on Windows).
inline long long HostUnwrittenKiB() {
    HANDLE file = CreateFileW(L"Z:\\proc\\meminfo", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    char text[8192] = {};
    DWORD read = 0;
    ReadFile(file, text, sizeof(text) - 1, &read, nullptr);
    CloseHandle(file);
    long long total = 0;
    int found = 0;
    for (const char* name : {"\nDirty:", "\nWriteback:"}) {
        if (const char* line = std::strstr(text, name)) {
            total += std::atoll(line + std::strlen(name));
            ++found;
        }
    }
    return found == 2 ? total : -1;
}

// Lets the host write back what the last copy left in its cache before the next copy starts: a
// copy that starts meanwhile is throttled for the other's data (up to 30 times slower per song).
// Other programs on a busy host keep a gigabyte unwritten for good: 10 s of write-back then is
// as much as a copy needs.
inline void WaitForHostWriteBack() {
    const DWORD started = GetTickCount();
    for (;;) {
        const long long unwritten = HostUnwrittenKiB();
        if (unwritten < 64 * 1024 || GetTickCount() - started > 10000) return;
        Sleep(100);
    }
}

// The middle value (the mean of the two middle ones for an even count).
inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t half = values.size() / 2;
    return values.size() % 2 ? values[half] : (values[half - 1] + values[half]) / 2;
}

// The median of the rounds' own ratios, numerator[i] / denominator[i]. Each round runs both sides
// back to back, so a load that drifts over the run (other programs, the host's write-back) moves
// a round's two figures together and this median far less than the ratio of the two medians.
inline double MedianOfRatios(const std::vector<double>& numerator, const std::vector<double>& denominator) {
    std::vector<double> ratios;
    for (size_t i = 0; i < numerator.size() && i < denominator.size(); ++i) ratios.push_back(numerator[i] / denominator[i]);
    return Median(ratios);
}

// The closing line every comparing benchmark prints: its ratio, the goal and whether it was met.
inline bool PrintVerdict(const char* measure, double ratio, double goal, bool atMost) {
    const bool met = atMost ? ratio <= goal : ratio >= goal;
    std::printf("%s: %.2f (goal %s %.2f): %s\n", measure, ratio, atMost ? "<=" : ">=", goal, met ? "met" : "missed");
    return met;
}

}  // namespace bench
