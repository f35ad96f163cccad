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

}  // namespace bench
