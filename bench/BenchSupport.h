#pragma once
// Helpers shared by the benchmark programs.

#include <windows.h>

#include <cstdint>
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

}  // namespace bench
